#pragma once

#include <QList>
#include <QString>
#include <optional>

class QWidget;

namespace kestrova::platform {

// Asks for a file to open; nothing when the user cancels.
class FilePicker {
 public:
  virtual ~FilePicker() = default;
  virtual std::optional<QString> OpenPicture(QWidget* parent) = 0;
};

class QtFilePicker : public FilePicker {
 public:
  std::optional<QString> OpenPicture(QWidget* parent) override;
};

// Answers from a queue (an empty queue cancels), for tests.
class ScriptedFilePicker : public FilePicker {
 public:
  std::optional<QString> OpenPicture(QWidget*) override {
    ++asked;
    if (answers.isEmpty()) return std::nullopt;
    return answers.takeFirst();
  }
  QList<std::optional<QString>> answers;
  int asked = 0;
};

}  // namespace kestrova::platform

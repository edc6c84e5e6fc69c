#pragma once

#include <QList>
#include <QString>
#include <optional>

class QWidget;

namespace kestrova::platform {

// Asks for a folder with the desktop's folder dialog, which can also make a
// new one; nothing when the user cancels.
class FolderPicker {
 public:
  virtual ~FolderPicker() = default;
  // `caption` titles the dialog; it opens at `startFolder` (or the nearest
  // folder above it that exists).
  virtual std::optional<QString> PickFolder(QWidget* parent, const QString& caption, const QString& startFolder) = 0;
};

class QtFolderPicker : public FolderPicker {
 public:
  std::optional<QString> PickFolder(QWidget* parent, const QString& caption, const QString& startFolder) override;
};

// Answers from a queue (an empty queue cancels) and keeps what it was
// asked, for tests.
class ScriptedFolderPicker : public FolderPicker {
 public:
  struct Question {
    QString caption;
    QString startFolder;
  };
  std::optional<QString> PickFolder(QWidget*, const QString& caption, const QString& startFolder) override {
    asked.append({caption, startFolder});
    if (answers.isEmpty()) return std::nullopt;
    return answers.takeFirst();
  }
  QList<std::optional<QString>> answers;
  QList<Question> asked;
};

}  // namespace kestrova::platform

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace kestrova::platform {

// Asks for a file to open or a place to save one; nothing when the user
// cancels.
class FilePicker {
 public:
  virtual ~FilePicker() = default;
  virtual std::optional<QString> OpenPicture(QWidget* parent) = 0;
  // Where to save a PDF, proposing the name in the user's documents folder;
  // the dialog itself asks before an existing file is replaced.
  virtual std::optional<QString> SavePdf(QWidget* parent, const QString& proposedName) = 0;
  // Where to save a chart, as a PNG picture, a PDF or a CSV table: the
  // name's ending (which the dialog adds from the chosen type) says which.
  virtual std::optional<QString> SaveChart(QWidget* parent, const QString& proposedName) = 0;
};

class QtFilePicker : public FilePicker {
 public:
  std::optional<QString> OpenPicture(QWidget* parent) override;
  std::optional<QString> SavePdf(QWidget* parent, const QString& proposedName) override;
  std::optional<QString> SaveChart(QWidget* parent, const QString& proposedName) override;
};

// Answers from queues (an empty queue cancels), for tests.
class ScriptedFilePicker : public FilePicker {
 public:
  std::optional<QString> OpenPicture(QWidget*) override {
    ++asked;
    if (answers.isEmpty()) return std::nullopt;
    return answers.takeFirst();
  }
  std::optional<QString> SavePdf(QWidget*, const QString& proposedName) override {
    proposed.append(proposedName);
    if (saveAnswers.isEmpty()) return std::nullopt;
    return saveAnswers.takeFirst();
  }
  std::optional<QString> SaveChart(QWidget*, const QString& proposedName) override {
    proposed.append(proposedName);
    if (chartAnswers.isEmpty()) return std::nullopt;
    return chartAnswers.takeFirst();
  }
  QList<std::optional<QString>> answers;
  QList<std::optional<QString>> chartAnswers;
  int asked = 0;
  QList<std::optional<QString>> saveAnswers;
  QStringList proposed;  // the names each save was offered
};

}  // namespace kestrova::platform

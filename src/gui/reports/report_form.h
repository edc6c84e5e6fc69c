#pragma once

#include <QList>
#include <QTabWidget>
#include <array>
#include <filesystem>
#include <optional>

#include "core/reports/report_record.h"

class QLabel;
class QPlainTextEdit;
class QLineEdit;

namespace kestrova::gui {

class ZelButton;

// The lower half of the main window: every member of one report on seven
// tabs, 46 fields with their headings, and three picture slots.
class ReportForm : public QTabWidget {
  Q_OBJECT

 public:
  explicit ReportForm(std::filesystem::path dataFolder, QWidget* parent = nullptr);

  // Display mode: every field locked and empty, or filled from the report.
  void ShowReport(const std::optional<reports::ReportRecord>& report);

  // Field n (0-45): a line or, for 44 and 45, a multi-line box.
  QWidget* field(int n) const { return fields_[static_cast<std::size_t>(n)]; }
  QString fieldText(int n) const;
  QLabel* heading(int n) const;
  // The three picture file names shown, empty where none is.
  const std::array<QString, 3>& picturePaths() const { return picturePaths_; }
  ZelButton* largerPictureButton(int slot) const { return cmdLargerPic_[static_cast<std::size_t>(slot - 1)]; }
  QLabel* pictureImage(int slot) const { return imgPic_[static_cast<std::size_t>(slot - 1)]; }
  QLabel* pictureCaption(int slot) const { return lblPic_[static_cast<std::size_t>(slot - 1)]; }

  // While adding or editing, a tab change puts the caret in its first field.
  void setEditing(bool editing) { editing_ = editing; }
  // The headings the window sets at its first activation.
  void SetHeadingCaptions();

 private:
  void MainTab_Click(int tab);
  void ShowPicture(int slot, const std::string& stored);
  QLineEdit* Line(QWidget* page, int n, int x, int y, int width);
  QLabel* Label(QWidget* page, int n, const QString& caption, int x, int y, int width);

  std::filesystem::path dataFolder_;
  bool editing_ = false;
  std::array<QWidget*, 46> fields_{};
  std::array<QLabel*, 52> headings_{};
  std::array<QLabel*, 3> imgPic_{};
  std::array<QLabel*, 3> lblPic_{};
  std::array<ZelButton*, 3> cmdAddEditPic_{};
  std::array<ZelButton*, 3> cmdLargerPic_{};
  std::array<ZelButton*, 3> cmdDeletePic_{};
  std::array<QString, 3> picturePaths_;
};

}  // namespace kestrova::gui

#pragma once

#include <QList>
#include <QTabWidget>
#include <array>
#include <functional>
#include <filesystem>
#include <optional>

#include "core/reports/report_entry.h"
#include "core/reports/report_record.h"

class QLabel;
class QPlainTextEdit;
class QLineEdit;

namespace kestrova::gui {

class Session;
class ZelButton;

// The lower half of the main window: every member of one report on seven
// tabs, 46 fields with their headings, and three picture slots.
class ReportForm : public QTabWidget {
  Q_OBJECT

 public:
  ReportForm(Session& session, QWidget* parent = nullptr);

  // Display mode: every field locked and empty, or filled from the report.
  void ShowReport(const std::optional<reports::ReportRecord>& report);

  // Field n (0-45): a line or, for 44 and 45, a multi-line box. Texts() and
  // SetTexts() use the stored form, with CR LF line breaks; the boxes show LF.
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

  // Adding: every field empty and unlocked; each remembers the text it
  // showed (a template) or nothing. Editing: unlocked with its text kept.
  void UnlockForAdding(bool fromTemplate);
  void UnlockForEditing();
  bool unlocked() const { return unlocked_; }
  // The mandatory headings red (or normal) and the notice shown (or not).
  void MarkMandatory(bool on);
  void ShowControlNumber(bool shown);

  reports::FieldTexts46 Texts() const;
  void SetTexts(const reports::FieldTexts46& texts);
  void SetFieldText(int n, const QString& text);
  int currentField() const { return currentField_; }
  void setCurrentField(int n) { currentField_ = n; }
  void FocusField(int n);

  // The pick-list of the current field; how it is shown can be replaced
  // (tests answer with an item number, 0 for none).
  void ShowContextMenu();
  void ChoosePickItem(int k);
  void setPickListChooser(std::function<int(const reports::PickList&, QPoint)> chooser) {
    chooser_ = std::move(chooser);
  }

  // Picture slots.
  bool LoadPicture(int slot, const QString& path);
  void ClearPicture(int slot);
  void SetPicturePath(int slot, const QString& path) { picturePaths_[static_cast<std::size_t>(slot - 1)] = path; }
  ZelButton* addEditPictureButton(int slot) const { return cmdAddEditPic_[static_cast<std::size_t>(slot - 1)]; }
  ZelButton* deletePictureButton(int slot) const { return cmdDeletePic_[static_cast<std::size_t>(slot - 1)]; }
  QLabel* spaceFull(int n) const { return n == 44 ? lblSpaceFull44_ : lblSpaceFull45_; }

 signals:
  // An unlocked field's text changed: the save button's rule applies.
  void FieldChanged();
  void AddEditPictureClicked(int slot);
  void DeletePictureClicked(int slot);
  // Tab from field 45, Shift+Tab from field 1: the keyboard leaves the fields.
  void TabbedPastLastField();
  void TabbedBeforeFirstField();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void MainTab_Click(int tab);
  void Unlock();
  void ShowPicture(int slot, const std::string& stored);
  int FieldIndex(QObject* w) const;
  void txtField_GotFocus(int n);
  void txtField_LostFocus(int n);
  void txtField_Change(int n);
  QLineEdit* Line(QWidget* page, int n, int x, int y, int width);
  QLabel* Label(QWidget* page, int n, const QString& caption, int x, int y, int width);

  Session& session_;
  std::filesystem::path dataFolder_;
  bool editing_ = false;
  bool unlocked_ = false;
  bool filling_ = false;  // text set by the program, not typed
  int currentField_ = 0;
  int enteredField_ = 0;  // the field the user is in, 0 for none
  std::array<QString, 46> remembered_;
  std::function<int(const reports::PickList&, QPoint)> chooser_;
  QLabel* lblSpaceFull44_ = nullptr;
  QLabel* lblSpaceFull45_ = nullptr;
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

#pragma once

#include <QList>
#include <QTabWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/reports/report_entry.h"
#include "core/reports/report_record.h"

class QLabel;
class QPlainTextEdit;
class QLineEdit;

namespace kestrova::gui {

class PictureSlots;
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
  QLabel* heading(int n) const { return headings_[static_cast<std::size_t>(n)]; }
  // The picture slots; the file names shown, empty where none is.
  PictureSlots& pictures() const { return *pictures_; }
  const std::array<QString, 3>& picturePaths() const;
  ZelButton* largerPictureButton(int slot) const;

  // Writing a report: the fields unlocked (empty, or a template's texts to
  // bring back; or the shown report's texts), the pictures with them.
  void BeginAdding(bool fromTemplate);
  void BeginEditing(const reports::ReportRecord& shown);
  void EndWriting();
  // The headings the window sets at its first activation.
  void SetHeadingCaptions();

  bool unlocked() const { return unlocked_; }

  // The checks before a save (dates, values, text the file cannot hold):
  // false after one message, with the caret on the first bad field.
  bool CheckEntries();

  reports::FieldTexts46 Texts() const;
  void SetTexts(const reports::FieldTexts46& texts);
  void SetFieldText(int n, const QString& text);
  int currentField() const { return currentField_; }
  void setCurrentField(int n) { currentField_ = n; }
  void FocusField(int n);
  // While writing: the caret in the first field of the tab on display.
  void FocusFirstFieldOfTab();

  // The pick-list of the current field; how it is shown can be replaced
  // (tests answer with an item number, 0 for none).
  void ShowContextMenu();
  void ChoosePickItem(int k);
  void setPickListChooser(std::function<int(const reports::PickList&, QPoint)> chooser) {
    chooser_ = std::move(chooser);
  }

  QLabel* spaceFull(int n) const { return n == 44 ? lblSpaceFull44_ : lblSpaceFull45_; }

 signals:
  // An unlocked field's text changed: the save button's rule applies.
  void FieldChanged();
  // Tab from field 45, Shift+Tab from field 1: the keyboard leaves the fields.
  void TabbedPastLastField();
  void TabbedBeforeFirstField();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void MainTab_Click(int tab);
  // Adding: every field empty and unlocked; each remembers the text it
  // showed (a template) or nothing. Editing: unlocked with its text kept.
  void UnlockForAdding(bool fromTemplate);
  void UnlockForEditing();
  void Unlock();
  // The mandatory headings red (or normal) and the notice shown (or not).
  void MarkMandatory(bool on);
  void ShowControlNumber(bool shown);
  int FieldIndex(QObject* w) const;
  void txtField_GotFocus(int n);
  void txtField_LostFocus(int n);
  void txtField_Change(int n);

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
  PictureSlots* pictures_ = nullptr;
};

}  // namespace kestrova::gui

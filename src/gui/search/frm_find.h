#pragma once

#include <QDialog>
#include <QList>

#include "core/search/search_criteria.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kestrova::gui {

class ButtonFlasher;
class DatePicker;
class Session;
class ZelButton;

// The search dialog: fifteen phrase searches and five date summaries. It
// only collects the choice; the report list does the searching.
class frmFind : public QDialog {
  Q_OBJECT

 public:
  explicit frmFind(Session& session, QWidget* parent = nullptr);

  static constexpr int kWidthTwips = 6420;
  static constexpr int kHeightTwips = 8610;

  // After the dialog closed: the criteria it leaves (also stored in the
  // session) and the caption of a confirmed summary.
  const search::FindDialogOutcome& outcome() const { return outcome_; }

  int SelectedKind() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void optFind_Click(int kind);
  void Form_Activate();
  void cmdFind_Click();
  void cmdCancel_Click();
  // The calendar closed with a date picked.
  void calPickDate_CloseUp();
  void txtSearchPhrase_Change();
  void SetFindEnabled(bool enabled);
  void CloseDialog();
  // The picker's calendar drops down once the picker has the focus.
  void DropDownCalendar();

  Session& session_;
  bool activated_ = false;
  bool confirmed_ = false;
  bool datePicked_ = false;
  bool closing_ = false;
  bool dropDownPending_ = false;
  search::FindDialogOutcome outcome_;
  QList<QRadioButton*> optFind_;  // 1-20 (index 0 unused)
  QLineEdit* txtSearchPhrase_ = nullptr;
  QCheckBox* chkCapStatus_ = nullptr;
  QCheckBox* chkWholeWordStatus_ = nullptr;
  DatePicker* calPickDate_ = nullptr;
  QLabel* lblFind1_ = nullptr;
  QLabel* lblFind2_ = nullptr;
  ZelButton* cmdFind_ = nullptr;
  ZelButton* cmdCancel_ = nullptr;
  ZelButton* cmdHelp_ = nullptr;
  ButtonFlasher* flasher_ = nullptr;
};

}  // namespace kestrova::gui

#pragma once

#include <QList>
#include <QMap>
#include <QWidget>
#include <array>
#include <optional>

#include "core/reports/report_entry.h"
#include "core/reports/report_list.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class QTableView;

namespace kestrova::gui {

class ButtonFlasher;
class ReportForm;
class ReportListModel;
class Session;
class ZelButton;

// The main report window: the report list above the report form, the
// list options, and the row of commands.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  explicit frmMain(Session& session, QWidget* parent = nullptr);

  static constexpr int kWidthTwips = 13035;
  static constexpr int kHeightTwips = 10750;

  // What the list shows and what the window is doing.
  bool FullListShown = true;
  bool PhraseSearchActive = false;
  bool SummaryActive = false;
  bool AddMode = false;
  bool EditMode = false;
  int SavedGridRow = 0;
  int SavedGridTopRow = 0;
  bool TemplateMode = false;
  bool OwnChangeFlag = false;
  bool SkipArchiveQuestion = false;
  bool SkipRestoreQuestion = false;

  void Form_Activate();
  void BuildReportList();
  void ShowSelectedReport();
  void RefreshCommandState();

  void cmdSeeAllEntries_Click();
  void cmdFindEntries_Click();
  void cmdRefreshGrid_Click();
  void cmdUserInfo_Click();
  void cmdAbout_Click();
  void cmdNetworkInfo_Click();
  void cmdAdminWindow_Click();
  void cmdQuit_Click();
  void optDisplay_Click(int index);

  // Writing reports.
  void StartAdding(bool rightButton);
  void cmdAddSave_Click();
  void cmdAddCancel_Click();
  void cmdEditEntry_Click();
  void cmdEditSave_Click();
  void cmdEditCancel_Click();
  void cmdArchiveEntry_Click();
  void cmdRestoreEntry_Click();
  void cmdDeleteEntry_Click();
  void cmdAddEditPic_Click(int slot);
  void cmdDeletePic_Click(int slot);
  // The report as last read for display.
  const std::optional<reports::ReportRecord>& displayed() const { return displayed_; }
  void optSort_Click(int index);
  void optShow_Click(int index);

  // For tests and the commands that act on "this report".
  QTableView* grid() const { return grid_; }
  ReportListModel& model() const { return *model_; }
  ReportForm* form() const { return form_; }
  QString listCaption() const;
  int currentRow() const;  // 1-based; 0 when nothing is selected
  int topRow() const;
  int selectedRecordNumber() const;
  ZelButton* command(const QString& name) const { return commands_.value(name); }
  ButtonFlasher& flasher() { return *flasher_; }
  const reports::ListCounts& counts() const { return counts_; }
  QString GridToolTip(const QPoint& viewportPos) const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildLayout();
  ZelButton* AddCommand(const char* name, const QString& caption = {});
  void SelectRow(int row, int top);
  reports::DisplayList Display() const;
  // Leaving the window while a report is written asks first; true when the
  // user chose to discard it (or nothing was being written).
  bool MayLeaveWriting();
  // The window's own closing work, done once however the close began.
  void Unload();
  // Everything beside the list that the shrunken window leaves out while adding.
  QList<QWidget*> ListSide() const;
  void EndAdding(const QString& savedCase);
  void EndEditing(bool saved);
  void InactiveListEmpty();
  bool CheckEntries();
  // A write refused because the report moved: say so and rebuild.
  void ReportMovedElsewhere(const Error& error);
  static bool IsMovedElsewhere(const Error& error);
  // A write that did not happen: moved elsewhere, or refused by the file.
  void WriteRefused(const Error& error, const QString& caption);
  void SaveButtonRule();

  Session& session_;
  bool activated_ = false;
  bool closingByProgram_ = false;
  int sortOption_ = 1;
  int showOption_ = 1;
  QString findTag_;  // the caption of a confirmed summary
  std::optional<reports::ReportRecord> displayed_;
  std::array<QString, 3> storedPicturePaths_;
  reports::FieldTexts46 textsAtEditStart_;
  bool entriesChanged_ = false;  // since editing began
  bool unloaded_ = false;
  QList<bool> listSideShown_;
  QRect savedGeometry_;
  int savedFormTop_ = 0;
  int savedRow1Top_ = 0;
  int savedRow2Top_ = 0;
  reports::ListCounts counts_;
  QGroupBox* frame1_ = nullptr;
  QGroupBox* frame2_ = nullptr;
  QGroupBox* frameDisplay_ = nullptr;
  QGroupBox* frameSort_ = nullptr;
  QGroupBox* frameShow_ = nullptr;
  QList<QRadioButton*> optDisplay_, optSort_, optShow_;  // index 1-2
  QLabel* lblStandBy_ = nullptr;
  QTableView* grid_ = nullptr;
  ReportListModel* model_ = nullptr;
  ReportForm* form_ = nullptr;
  QWidget* commandRow1_ = nullptr;
  QWidget* commandRow2_ = nullptr;
  QMap<QString, ZelButton*> commands_;
  ButtonFlasher* flasher_ = nullptr;
};

}  // namespace kestrova::gui

#pragma once

#include <QList>
#include <QMap>
#include <QWidget>
#include <optional>

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

  Session& session_;
  bool activated_ = false;
  bool closingByProgram_ = false;
  int sortOption_ = 1;
  int showOption_ = 1;
  QString findTag_;  // the caption of a confirmed summary
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

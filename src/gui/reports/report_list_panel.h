#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "core/reports/report_list.h"

class QGroupBox;
class QLabel;
class QPoint;
class QRadioButton;
class QTableView;
class QWidget;

namespace kestrova::gui {

class ReportListModel;

// The upper half of the main window: the report list (frame(1): the grid,
// its caption and the stand-by label) and the list options beside it.
// It shows what it is given and says what the user chose; building the
// list is the window's.
class ReportListPanel : public QObject {
  Q_OBJECT

 public:
  // Builds the widgets on `parent`; the window's layout places the list
  // frame and the option frames.
  explicit ReportListPanel(QWidget* parent);

  // The rows the list always has room for.
  static constexpr int kRowsShownAtLeast = 8;

  QGroupBox* frame() const { return frame1_; }
  QTableView* grid() const { return grid_; }
  ReportListModel& model() const { return *model_; }
  // The option frames, which go out of sight with the list while adding.
  QList<QWidget*> optionFrames() const;

  QString caption() const;
  void setCaption(const QString& caption);
  int rowCount() const;
  int currentRow() const;  // 1-based; 0 when nothing is selected
  int topRow() const;
  int selectedRecordNumber() const;
  // An edited report's row brought up to date where it stands, unsorted.
  void UpdateRow(int row, const reports::ReportRecord& report);
  // Makes row the current one and top the first shown, without telling.
  void SelectRow(int row, int top);

  reports::DisplayList display() const;
  void ChooseActiveList();
  int sortOption() const { return sortOption_; }
  int showOption() const { return showOption_; }
  void SetOptions(int sort, int show);

  // The rebuild: the grid out of sight with the stand-by label, then the
  // rows with the frames that go with them.
  void BeginRebuild();
  void ShowRows(std::vector<reports::ListRow> rows, const QString& rightColumnHeading);
  void EnableDisplayChoices(const reports::ListCounts& counts);
  // While a report is written the options cannot change the list.
  void HoldStill(bool still);

  // " Monday " over a date in column 1.
  QString GridToolTip(const QPoint& viewportPos) const;

 signals:
  void RowChanged();
  void DisplayChosen(int index);
  void SortChosen(int index);
  void ShowChosen(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QGroupBox* frame1_ = nullptr;
  QTableView* grid_ = nullptr;
  ReportListModel* model_ = nullptr;
  QLabel* lblStandBy_ = nullptr;
  QGroupBox* frameDisplay_ = nullptr;
  QGroupBox* frameSort_ = nullptr;
  QGroupBox* frameShow_ = nullptr;
  QList<QRadioButton*> optDisplay_, optSort_, optShow_;  // index 1-2
  int sortOption_ = 1;
  int showOption_ = 1;
};

}  // namespace kestrova::gui

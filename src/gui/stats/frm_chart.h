#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "core/network/change_watch.h"
#include "core/stats/counts_over_time.h"
#include "gui/stats/chart_subject.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace kestrova::platform {
class Printing;
}

namespace kestrova::gui {

class ChartView;
class Session;

// The chart of a list's reports over time: the period, the date counted,
// the breakdown, the measure, the drawing and the span chosen above the
// chart, the same figures in a table beside it, and "Save as..." to a PNG
// picture, a PDF or a CSV table. The count runs away from the window's
// thread, so the window opens at once and stays usable on a large folder.
// While it is open it watches the data folder and, when the reports change,
// says so and counts again when asked. Opening it writes one line to the
// search log.
class frmChart : public QWidget {
  Q_OBJECT

 public:
  frmChart(Session& session, platform::Printing& printing, ChartSubject subject, QWidget* parent = nullptr);
  ~frmChart() override;

  // A count is under way.
  bool counting() const { return running_ > 0; }

 signals:
  // A count ended and what it found (figures or a refusal) is shown.
  void FiguresShown();

 private:
  struct Counted;
  void BuildLayout();
  void ConnectControls();
  stats::CountRequest Request() const;
  void Recount();
  void ShowCounted(const Counted& counted);
  void FillTable();
  void ShowSpan(const stats::TimeFigures& figures);
  QString ProposedName() const;
  void SaveTo(const QString& path);

  void cboPeriod_Click();
  void dtpSpan_Change();
  void cmdWholeSpan_Click();
  void cmdRecount_Click();
  void cmdSaveAs_Click();
  void timerFolderCheck_Timer();

  Session& session_;
  platform::Printing& printing_;
  ChartSubject subject_;
  bool logged_ = false;
  bool spanChosen_ = false;  // the user set the span; else the list's whole range
  bool filling_ = false;     // the window sets its own controls
  int running_ = 0;
  int latest_ = 0;  // the count whose figures are shown when it ends
  std::optional<network::DataStamp> countedStamp_;
  std::optional<network::DataStamp> listStamp_;  // as the list's rows were counted first
  QTimer folderCheck_;
  QTimer spanPause_;  // the span is counted once the typing stops

  QComboBox* cboPeriod_ = nullptr;
  QComboBox* cboDate_ = nullptr;
  QComboBox* cboSplit_ = nullptr;
  QComboBox* cboMeasure_ = nullptr;
  QComboBox* cboStyle_ = nullptr;
  QDateEdit* dtpFrom_ = nullptr;
  QDateEdit* dtpTo_ = nullptr;
  QPushButton* cmdWholeSpan_ = nullptr;
  QLabel* lblChanged_ = nullptr;
  QPushButton* cmdRecount_ = nullptr;
  ChartView* chart_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* lblStatus_ = nullptr;
  QPushButton* cmdSaveAs_ = nullptr;
  QPushButton* cmdClose_ = nullptr;
};

}  // namespace kestrova::gui

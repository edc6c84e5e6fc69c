#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

#include "core/reports/report_actions.h"
#include "core/reports/report_heads.h"
#include "core/reports/report_list.h"
#include "core/reports/report_record.h"
#include "gui/reports/main_window_parts.h"
#include "gui/stats/chart_subject.h"

namespace kestrova::gui {

// The main window's browsing side: which list is shown (the full list, a
// phrase search or a summary), in what order and with which column, the
// report read for display, and the search. While a report is written the
// list holds still.
class BrowsingSide : public QObject {
  Q_OBJECT

 public:
  explicit BrowsingSide(const MainWindowParts& parts);

  // What the list shows: the full list, or a phrase search or summary.
  const reports::ListFlags& flags() const { return flags_; }
  void ShowFullList() { flags_ = {true, false, false}; }
  // The report as last read for display, and its bytes as read.
  const std::optional<reports::ReportRecord>& displayed() const { return displayed_; }
  const reports::RecordBytes& displayedBytes() const { return displayedBytes_; }
  // The report on display as the writes check it.
  reports::ReportIdentity ShownIdentity() const;
  const reports::ListCounts& counts() const { return counts_; }
  void setCounts(const reports::ListCounts& counts) { counts_ = counts; }
  // Where the list stood, for the full list to come back to after a search
  // or a delete.
  void RememberGridPosition();
  void ForgetGridPosition();

  // The window's first activation: from now on the options are the user's.
  void Activate() { activated_ = true; }
  // A report is being written: a row chosen shows nothing, and a rebuild
  // only selects.
  void SetWriting(bool writing) { writing_ = writing; }

  // The list rebuilt, the selected report shown, the commands refreshed.
  void RefreshAll();
  void BuildReportList();
  void ShowSelectedReport();
  // After a write where the list no longer matched the file: the list
  // rebuilt (the refresh alert answered) with the report at `recordNumber`
  // selected.
  void RebuildListAt(std::int32_t recordNumber);
  // The full Active List again.
  void SeeAllEntries();
  void InactiveListEmpty();
  // Writing is over: the keyboard goes back to the list.
  void GiveTheListTheKeyboard();

 signals:
  // What the commands show has to be worked out again.
  void CommandsStale();
  // "Chart this list..." was chosen.
  void ChartRequested(const ChartSubject& subject);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void cmdFindEntries_Click();
  void optDisplay_Click(int index);
  void optSort_Click(int index);
  void optShow_Click(int index);
  // The right-click menu of "Print this list..." and what it charts.
  void ShowPrintListMenu(const QPoint& globalPos);
  ChartSubject ListShown() const;

  MainWindowParts parts_;
  bool activated_ = false;
  bool writing_ = false;
  reports::ListFlags flags_{true, false, false};
  int savedGridRow_ = 0;
  int savedGridTopRow_ = 0;
  QString findTag_;  // the caption of a confirmed summary
  std::optional<reports::ReportRecord> displayed_;
  reports::RecordBytes displayedBytes_{};
  reports::ListCounts counts_;
  reports::ReportHeads heads_;        // kept between rebuilds while the reports are unchanged
  reports::ListRequest lastRequest_;  // what the list shown was built from
};

}  // namespace kestrova::gui

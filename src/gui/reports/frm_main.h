#pragma once

#include <QWidget>
#include <optional>

#include "core/logs/activity_log.h"
#include "core/reports/command_state.h"
#include "core/reports/report_actions.h"
#include "core/reports/report_entry.h"
#include "core/reports/report_list.h"
#include "core/status.h"

class QGroupBox;
class QScrollArea;
class QTableView;

namespace kestrova::gui {

class ButtonFlasher;
class CommandBar;
class ReportForm;
class ReportListModel;
class ReportListPanel;
class RefreshWatch;
class Session;
class WindowSkeleton;
class ZelButton;

// The main report window: the report list above the report form, and the
// commands. It is viewing reports, adding one or editing one; while a report
// is written nothing may replace the shown report or the list.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  explicit frmMain(Session& session, QWidget* parent = nullptr);

  static constexpr int kWidthTwips = 13035;
  static constexpr int kHeightTwips = 10750;
  // Room kept for the window's frame before the window manager says.
  static constexpr int kWindowFrameTwips = 150;

  enum class Mode { Viewing, Adding, Editing };
  Mode mode() const { return mode_; }
  bool adding() const { return mode_ == Mode::Adding; }
  bool editing() const { return mode_ == Mode::Editing; }
  bool templateAdd() const { return template_; }
  // What the list shows: the full list, or a phrase search or summary.
  const reports::ListFlags& listFlags() const { return flags_; }

  // The first activation: headings, the full list, the first focus.
  void Form_Activate();

  // The report as last read for display.
  const std::optional<reports::ReportRecord>& displayed() const { return displayed_; }
  ReportForm* form() const { return form_; }
  ReportListPanel& list() const { return *list_; }
  QTableView* grid() const;
  QScrollArea* scrollArea() const { return scroll_; }
  ReportListModel& model() const;
  QString listCaption() const;
  int currentRow() const;  // 1-based; 0 when nothing is selected
  int topRow() const;
  ZelButton* command(reports::Command command) const;
  ButtonFlasher& flasher() { return *flasher_; }
  RefreshWatch& refreshWatch() { return *refreshWatch_; }
  const reports::ListCounts& counts() const { return counts_; }

 signals:
  // The user leaves for the administrative window (signed out already).
  void AdminWindowRequested();

 private:
  void BuildLayout();
  QSize OpeningSize() const;
  void FitToScreen();
  void ConnectCommands();
  // The list rebuilt, the selected report shown, the commands refreshed.
  void RefreshAll();
  void BuildReportList();
  void ShowSelectedReport();
  void RefreshCommandState();

  // The list and the search (frm_main_list.cpp).
  void cmdSeeAllEntries_Click();
  void cmdFindEntries_Click();
  void optDisplay_Click(int index);
  void optSort_Click(int index);
  void optShow_Click(int index);
  void InactiveListEmpty();

  // Small commands and leaving (frm_main.cpp).
  void cmdUserInfo_Click();
  void cmdAbout_Click();
  void cmdNetworkInfo_Click();
  void cmdAdminWindow_Click();
  void cmdQuit_Click();
  // Leaving the window while a report is written asks first; true when the
  // user chose to discard it (or nothing was being written).
  bool MayLeaveWriting();
  // The window's own closing work, done once however the close began.
  void Unload();

  // Writing reports (frm_main_edit.cpp).
  void StartAdding(bool rightButton);
  void cmdAddSave_Click();
  void EndAdding(const QString& savedCase);
  void cmdEditEntry_Click();
  void cmdEditSave_Click();
  void EndEditing(bool saved);
  // The report being edited is gone or was changed elsewhere: the user's
  // text is kept, as a new report or in the form.
  void EditRefused(std::int32_t changedReportAt);
  void SaveEditAsNew();
  // After a write where the list no longer matched the file: the list
  // rebuilt (the refresh alert answered) with the report at `recordNumber`
  // selected.
  void RebuildListAt(std::int32_t recordNumber);
  void cmdArchiveEntry_Click();
  void cmdRestoreEntry_Click();
  void cmdDeleteEntry_Click();
  void SaveButtonRule();
  // The report on display as the writes check it; moving it to a list
  // (logged), or nothing when the write did not happen.
  reports::ReportIdentity ShownIdentity() const;
  std::optional<reports::MoveResult> MoveShownReport(std::uint8_t list, logs::LogAction logAction,
                                                     const QString& refused);
  // A write that did not happen: the report moved elsewhere (say so and
  // rebuild), or the file refused it.
  void ReportMovedElsewhere(const Error& error);
  void WriteRefused(const Error& error, const QString& caption);
  // The shrunken window while adding leaves out the list and its side.
  void ShrinkToTheForm(bool shrink);
  void GiveTheListTheKeyboard();
  QList<QWidget*> ListSide() const;

  Session& session_;
  Mode mode_ = Mode::Viewing;
  bool template_ = false;
  reports::ListFlags flags_{true, false, false};
  int savedGridRow_ = 0;
  int savedGridTopRow_ = 0;
  bool skipArchiveQuestion_ = false;
  bool skipRestoreQuestion_ = false;
  bool activated_ = false;
  bool entriesChanged_ = false;  // since editing began
  QString findTag_;              // the caption of a confirmed summary
  std::optional<reports::ReportRecord> displayed_;
  reports::RecordBytes displayedBytes_{};  // as read from the file
  reports::FieldTexts46 textsAtEditStart_;
  reports::ListCounts counts_;
  reports::ReportHeads heads_;  // kept between rebuilds while the reports are unchanged
  QRect savedGeometry_;
  int lift_ = 0;
  QList<bool> listSideShown_;
  QScrollArea* scroll_ = nullptr;
  ReportListPanel* list_ = nullptr;
  QGroupBox* frame2_ = nullptr;
  ReportForm* form_ = nullptr;
  CommandBar* commands_ = nullptr;
  ButtonFlasher* flasher_ = nullptr;
  WindowSkeleton* skeleton_ = nullptr;
  RefreshWatch* refreshWatch_ = nullptr;
  bool skipEmailNotice_ = false;
};

}  // namespace kestrova::gui

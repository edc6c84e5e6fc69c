#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

#include "core/reports/command_state.h"
#include "core/reports/report_list.h"
#include "gui/output/print_commands.h"
#include "gui/stats/chart_subject.h"

class QBoxLayout;
class QGroupBox;
class QScrollArea;

namespace kestrova::gui {

class BrowsingSide;
class ButtonFlasher;
class CommandBar;
class ListMoves;
class RefreshWatch;
class ReportForm;
class ReportListPanel;
class Session;
class WindowSkeleton;
class WritingSide;
class ZelButton;

// The main report window: the report list above the report form, and the
// commands. The browsing side (the list, its options, the search) and the
// writing side (adding and editing) are classes of their own; the window
// builds the parts they share, wires them and keeps the small commands.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  explicit frmMain(Session& session, QWidget* parent = nullptr);

  static constexpr int kWidthTwips = 13035;
  static constexpr int kHeightTwips = 10750;
  // Room kept for the window's frame before the window manager says.
  static constexpr int kWindowFrameTwips = 150;

  // What the window is doing: viewing reports, adding one or editing one.
  bool adding() const;
  bool editing() const;
  bool templateAdd() const;
  // What the list shows: the full list, or a phrase search or summary.
  const reports::ListFlags& listFlags() const;

 signals:
  // The user leaves for the administrative window (signed out already).
  void AdminWindowRequested();
  // The user asked for a chart of the list shown.
  void ChartWindowRequested(const ChartSubject& subject);
  // "Enlarge/Print" on a picture that can be read.
  void LargePictureRequested(const ShownPicture& picture);

 private:
  void BuildLayout();
  // The first activation: headings, the full list, the first focus.
  void Form_Activate();
  // The size the window opens at on its screen, the commands placed where
  // the screen has room for them.
  QSize OpeningSize();
  // The commands in two rows under the form (the design), or in two
  // columns beside it: a wide screen too short for the rows (1280 x 720)
  // shows everything that way without scrolling.
  void PlaceCommands(bool besideTheForm);
  void FitToScreen();
  void ConnectCommands();
  void RefreshCommandState();
  ZelButton* command(reports::Command c) const;

  void cmdUserInfo_Click();
  void cmdAbout_Click();
  void cmdNetworkInfo_Click();
  void cmdAdminWindow_Click();
  void cmdQuit_Click();
  void cmdPrintEntry_Click();
  void cmdPrintList_Click();
  void cmdLargerPic_Click(int slot);
  // Leaving the window while a report is written asks first; true when the
  // user chose to discard it (or nothing was being written).
  bool MayLeaveWriting();
  // The window's own closing work, done once however the close began.
  void Unload();
  // The shrunken window while adding leaves out the list and its side.
  void ShrinkToTheForm(bool shrink);
  QList<QWidget*> ListSide() const;

  Session& session_;
  bool activated_ = false;
  QRect savedGeometry_;
  int lift_ = 0;
  QList<bool> listSideShown_;
  QScrollArea* scroll_ = nullptr;
  QBoxLayout* column_ = nullptr;
  QBoxLayout* middle_ = nullptr;
  ReportListPanel* list_ = nullptr;
  QGroupBox* frame2_ = nullptr;
  ReportForm* form_ = nullptr;
  CommandBar* commands_ = nullptr;
  ButtonFlasher* flasher_ = nullptr;
  WindowSkeleton* skeleton_ = nullptr;
  RefreshWatch* refreshWatch_ = nullptr;
  BrowsingSide* browsing_ = nullptr;
  WritingSide* writing_ = nullptr;
  ListMoves* moves_ = nullptr;
  bool skipEmailNotice_ = false;
  bool skipReadyToPrintQuestion_ = false;
};

}  // namespace kestrova::gui

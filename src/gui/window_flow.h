#pragma once

#include <QObject>
#include <memory>

#include "gui/stats/chart_subject.h"

class QWidget;

namespace kestrova::platform {
class InstanceGuard;
class Printing;
}  // namespace kestrova::platform

namespace kestrova::gui {

class Session;
class frmAdmin;
class frmChart;
class frmLargePic;
struct ShownPicture;
class frmMain;
class frmTitlePage;

// Which window comes next. The windows say what the user did through their
// signals (through the title window's sign-in, signed in, back to the
// administrative window); this builds and shows the window that follows, so
// that no window builds another. The program makes one for its session.
class WindowFlow : public QObject {
  Q_OBJECT

 public:
  explicit WindowFlow(Session& session);
  ~WindowFlow() override;

  frmTitlePage* OpenTitleWindow();
  frmAdmin* OpenAdministrativeWindow();
  frmMain* OpenMainWindow();
  // The chart of the list a main window shows, in a window of its own
  // that closes with `owner`.
  frmChart* OpenChartWindow(QWidget* owner, const ChartSubject& subject);
  // The enlarged view of a report's picture, over the window it came from.
  frmLargePic* OpenLargePicture(QWidget* owner, const ShownPicture& picture);

 private:
  Session& session_;
  // Charts are saved as PDF files straight into the file the user chose,
  // never on a printer.
  std::unique_ptr<platform::Printing> chartPrinting_;
};

// The start-up routine: refuses a second instance (the desktop's plain
// "Terminating..." notice, then nothing), else shows the title window and
// returns it. The caller runs the event loop.
frmTitlePage* StartProgram(WindowFlow& flow, Session& session, platform::InstanceGuard& guard);

}  // namespace kestrova::gui

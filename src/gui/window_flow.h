#pragma once

#include <QObject>

class QWidget;

namespace kestrova::platform {
class InstanceGuard;
}

namespace kestrova::gui {

class Session;
class frmAdmin;
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
  explicit WindowFlow(Session& session) : session_(session) {}

  frmTitlePage* OpenTitleWindow();
  frmAdmin* OpenAdministrativeWindow();
  frmMain* OpenMainWindow();
  // The enlarged view of a report's picture, over the window it came from.
  frmLargePic* OpenLargePicture(QWidget* owner, const ShownPicture& picture);

 private:
  Session& session_;
};

// The start-up routine: refuses a second instance (the desktop's plain
// "Terminating..." notice, then nothing), else shows the title window and
// returns it. The caller runs the event loop.
frmTitlePage* StartProgram(WindowFlow& flow, Session& session, platform::InstanceGuard& guard);

}  // namespace kestrova::gui

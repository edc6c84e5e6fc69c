#include "gui/window_flow.h"

#include "gui/output/frm_large_pic.h"
#include "gui/reports/frm_main.h"
#include "gui/session/session.h"
#include "gui/startup/frm_title_page.h"
#include "gui/stats/frm_chart.h"
#include "gui/users/frm_admin.h"
#include "platform/instance_guard.h"
#include "platform/printing.h"

namespace kestrova::gui {

WindowFlow::WindowFlow(Session& session)
    : session_(session), chartPrinting_(std::make_unique<platform::QtPrinting>()) {}

WindowFlow::~WindowFlow() = default;

frmTitlePage* WindowFlow::OpenTitleWindow() {
  auto* title = new frmTitlePage(session_);
  connect(title, &frmTitlePage::SignInPassed, this, &WindowFlow::OpenAdministrativeWindow);
  title->show();
  return title;
}

frmAdmin* WindowFlow::OpenAdministrativeWindow() {
  auto* admin = new frmAdmin(session_);
  connect(admin, &frmAdmin::SignedIn, this, &WindowFlow::OpenMainWindow);
  admin->show();
  return admin;
}

frmMain* WindowFlow::OpenMainWindow() {
  auto* main = new frmMain(session_);
  connect(main, &frmMain::AdminWindowRequested, this, &WindowFlow::OpenAdministrativeWindow);
  connect(main, &frmMain::ChartWindowRequested, this,
          [this, main](const ChartSubject& subject) { OpenChartWindow(main, subject); });
  connect(main, &frmMain::LargePictureRequested, this,
          [this, main](const ShownPicture& picture) { OpenLargePicture(main, picture); });
  main->show();
  return main;
}

frmChart* WindowFlow::OpenChartWindow(QWidget* owner, const ChartSubject& subject) {
  auto* chart = new frmChart(session_, *chartPrinting_, subject, owner);
  chart->show();
  chart->activateWindow();
  return chart;
}

frmLargePic* WindowFlow::OpenLargePicture(QWidget* owner, const ShownPicture& picture) {
  auto* large = new frmLargePic(session_, picture, owner);
  large->setWindowModality(Qt::WindowModal);
  large->show();
  return large;
}

frmTitlePage* StartProgram(WindowFlow& flow, Session& session, platform::InstanceGuard& guard) {
  if (!guard.TryAcquire()) {
    session.systemMessage().ShowCritical(QStringLiteral("Terminating..."),
                                         session.applicationTitle() + QStringLiteral(" is already loaded\n") +
                                             QStringLiteral("and running on your computer!"),
                                         nullptr);
    return nullptr;
  }
  // The file set and the access levels are fixed in the core; printing sets
  // its own units when it starts a page.
  return flow.OpenTitleWindow();
}

}  // namespace kestrova::gui

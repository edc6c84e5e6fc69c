#include "gui/window_flow.h"

#include "gui/reports/frm_main.h"
#include "gui/search/frm_find.h"
#include "gui/startup/frm_title_page.h"
#include "gui/users/frm_admin.h"

namespace kestrova::gui {

frmTitlePage* WindowFlow::OpenTitleWindow() {
  auto* title = new frmTitlePage(session_);
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
  main->show();
  return main;
}

search::FindDialogOutcome WindowFlow::AskForSearch(QWidget* owner) {
  frmFind find(session_, owner);
  find.exec();
  return find.outcome();
}

}  // namespace kestrova::gui

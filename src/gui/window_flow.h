#pragma once

#include <QObject>

#include "core/search/search_criteria.h"

class QWidget;

namespace kestrova::gui {

class Session;
class frmAdmin;
class frmMain;
class frmTitlePage;

// Which window comes next. The windows say what the user did through their
// signals (signed in, back to the administrative window); this builds and
// shows the window that follows, so that no window builds another.
class WindowFlow : public QObject {
  Q_OBJECT

 public:
  explicit WindowFlow(Session& session) : session_(session) {}

  frmTitlePage* OpenTitleWindow();
  frmAdmin* OpenAdministrativeWindow();
  frmMain* OpenMainWindow();
  // The search dialog over its owner; what it left behind.
  search::FindDialogOutcome AskForSearch(QWidget* owner);

 private:
  Session& session_;
};

}  // namespace kestrova::gui

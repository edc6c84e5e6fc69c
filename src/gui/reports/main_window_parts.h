#pragma once

#include "core/reports/command_state.h"
#include "gui/reports/command_bar.h"

class QGroupBox;
class QWidget;

namespace kestrova::gui {

class ButtonFlasher;
class RefreshWatch;
class ReportForm;
class ReportListPanel;
class Session;
class ZelButton;

// The main window's parts, which its sides share: the window builds and
// owns them, and wires the sides together.
struct MainWindowParts {
  Session& session;
  QWidget* window;
  ReportListPanel* list;
  QGroupBox* frame2;  // the frame around the form
  ReportForm* form;
  CommandBar* commands;
  ButtonFlasher* flasher;
  RefreshWatch* refreshWatch;

  ZelButton* command(reports::Command c) const { return commands->button(c); }
};

}  // namespace kestrova::gui

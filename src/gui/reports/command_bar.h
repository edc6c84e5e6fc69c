#pragma once

#include <QObject>
#include <array>
#include <vector>

#include "core/reports/command_state.h"

class QWidget;

namespace kestrova::gui {

class ZelButton;

// The main window's command buttons, reached by what they do rather than by
// name: the two rows under the form (hidden commands leave no gaps) and the
// two beside the list. The window's layout places them.
class CommandBar : public QObject {
  Q_OBJECT

 public:
  // Builds the buttons on `parent`.
  explicit CommandBar(QWidget* parent);

  ZelButton* button(reports::Command command) const { return buttons_[static_cast<std::size_t>(command)]; }
  // Row 0: the report's commands; row 1: the list's and the window's.
  QWidget* row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
  // Visibility, enabled state, captions and tool-tips as the table says.
  void Apply(const std::vector<reports::CommandLook>& looks);

 private:
  std::array<ZelButton*, reports::kCommandCount> buttons_{};
  std::array<QWidget*, 2> rows_{};
};

}  // namespace kestrova::gui

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
// two beside the list.
class CommandBar : public QObject {
  Q_OBJECT

 public:
  // Builds the buttons on `window`, the rows at the given tops (pixels).
  CommandBar(QWidget* window, int row1Top, int row2Top);

  ZelButton* button(reports::Command command) const { return buttons_[static_cast<std::size_t>(command)]; }
  // Visibility, enabled state, captions and tool-tips as the table says.
  void Apply(const std::vector<reports::CommandLook>& looks);
  // The rows move with the form while adding.
  void MoveRows(int dy);

 private:
  std::array<ZelButton*, reports::kCommandCount> buttons_{};
  std::array<QWidget*, 2> rows_{};
};

}  // namespace kestrova::gui

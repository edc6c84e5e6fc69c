#pragma once

#include <functional>

class QWidget;

namespace kestrova::gui {

// Runs `step` once the window has been shown and activated, i.e. once the
// window manager has placed it, so that a notice shown by `step` stands
// over the window rather than where the window was before it was placed.
// Runs it anyway after a moment if no activation comes.
void WhenFirstActive(QWidget* window, std::function<void()> step);

}  // namespace kestrova::gui

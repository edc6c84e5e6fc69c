#pragma once

#include <string>
#include <vector>

namespace kestrova::ui {

// A question or notice for the message dialog, as the core words it; the
// window shows it as it is.
struct Message {
  std::string caption;
  int iconKind = 5;  // 2 error, 3 question, 4 warning, 5 information
  std::vector<std::string> lines;
  std::vector<std::string> buttons;  // left to right, with their "&" access keys
  int defaultButton = 1;             // counted from 1
  friend bool operator==(const Message&, const Message&) = default;
};

}  // namespace kestrova::ui

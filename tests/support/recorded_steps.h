#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/print_cursor.h"

namespace kestrova::output {

// Readable steps in test failure messages.
inline void PrintTo(const TextStep& t, std::ostream* os) {
  *os << "{x " << t.x << ", y " << t.y << ", \"" << t.text << "\", " << t.font.name << ' ' << t.font.size
      << (t.font.bold ? " bold" : "") << '}';
}

}  // namespace kestrova::output

namespace kestrova::testing {

// Keeps every step; refuses once `refuseAfterPages` new pages have come.
class RecordedSteps : public output::StepSink {
 public:
  bool Take(output::PrintStep step) override {
    if (std::holds_alternative<output::NewPageStep>(step) && ++newPages > refuseAfterPages) return false;
    steps.push_back(std::move(step));
    return true;
  }
  // The texts of each page in order.
  std::vector<std::vector<output::TextStep>> Pages() const {
    std::vector<std::vector<output::TextStep>> pages(1);
    for (const auto& step : steps) {
      if (std::holds_alternative<output::NewPageStep>(step)) pages.emplace_back();
      if (const auto* text = std::get_if<output::TextStep>(&step)) pages.back().push_back(*text);
    }
    return pages;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& page : Pages()) {
      for (const auto& t : page) texts.push_back(t.text);
    }
    return texts;
  }
  std::vector<output::PrintStep> steps;
  int newPages = 0;
  int refuseAfterPages = 1 << 30;
};

}  // namespace kestrova::testing

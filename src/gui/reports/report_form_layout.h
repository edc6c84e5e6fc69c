#pragma once

#include <array>

#include "core/reports/report_fields.h"

// Where the report form's 46 fields and their headings stand, in twips,
// beside the table of what each field is (core/reports/report_fields.h).
namespace kestrova::gui::form_layout {

// The frame a field stands in: its tab's page, or one of the two group
// boxes on the when-and-where tab.
enum class Frame { Page, Occurred, Reported };

struct Box {
  int x, y, width, height;
};

struct FieldPlace {
  Frame frame;
  Box heading;
  Box field;
  // The heading is shown from the start; the others get theirs at the
  // window's first activation.
  bool headingAtStart;
};

inline constexpr int kHeadingHeight = 240;
inline constexpr int kLineHeight = 330;

namespace detail {
constexpr FieldPlace On(Frame frame, int hx, int hy, int hw, int x, int y, int w, bool atStart,
                        int height = kLineHeight) {
  return {frame, {hx, hy, hw, kHeadingHeight}, {x, y, w, height}, atStart};
}
}  // namespace detail

inline constexpr std::array<FieldPlace, reports::kFieldCount> kFieldPlaces = [] {
  using detail::On;
  constexpr Frame P = Frame::Page, O = Frame::Occurred, R = Frame::Reported;
  std::array<FieldPlace, reports::kFieldCount> places{};
  const auto t = [&places](int n) -> FieldPlace& { return places[static_cast<std::size_t>(n)]; };
  // Who and when.
  t(0) = On(P, 200, 150, 2200, 200, 400, 2200, true);
  t(1) = On(P, 2600, 150, 2400, 2600, 400, 2400, true);
  t(2) = On(P, 200, 950, 7000, 200, 1200, 7400, true);
  t(3) = On(P, 200, 1750, 7000, 200, 2000, 7400, true);
  t(4) = On(P, 200, 2550, 5000, 200, 2800, 5000, true);
  t(5) = On(P, 5400, 2550, 3600, 5400, 2800, 3200, false);
  // When and where.
  t(6) = On(O, 500, 250, 3200, 500, 500, 3200, false);
  t(7) = On(O, 5900, 250, 3200, 5900, 500, 3200, false);
  t(8) = On(O, 500, 950, 7000, 500, 1200, 7400, true);
  t(9) = On(R, 500, 250, 3200, 500, 500, 3200, false);
  t(10) = On(R, 3900, 250, 7000, 3900, 500, 7400, true);
  t(11) = On(R, 500, 1000, 5200, 500, 1250, 5200, false);
  t(12) = On(R, 5900, 1000, 2200, 5900, 1250, 2200, false);
  t(13) = On(R, 500, 1800, 7000, 500, 2050, 7600, false);
  // People, vehicles and property items: three groups of three fields (four
  // for property): the 40- and 15-character fields side by side, the
  // 50-character field below, the value beside it.
  for (const auto [first, stride] : {std::array{14, 3}, std::array{23, 3}, std::array{32, 4}}) {
    for (int g = 0; g < 3; ++g) {
      const int n = first + g * stride;
      const int y = 100 + g * 1550;
      t(n) = On(P, 200, y, 5200, 200, y + 250, 5200, false);
      t(n + 1) = On(P, 5600, y, 2200, 5600, y + 250, 2200, false);
      t(n + 2) = On(P, 200, y + 650, 7000, 200, y + 900, 7600, false);
      if (stride == 4) t(n + 3) = On(P, 8000, y + 650, 2200, 8000, y + 900, 2200, false);
    }
  }
  // The narrative and the case notes.
  t(44) = On(P, 200, 100, 6000, 200, 620, 8000, true, 4030);
  t(45) = On(P, 8400, 100, 3900, 8400, 620, 3900, true, 4030);
  return places;
}();

constexpr const FieldPlace& Place(int n) { return kFieldPlaces[static_cast<std::size_t>(n)]; }

}  // namespace kestrova::gui::form_layout

#pragma once

#include <string_view>

#include "core/output/print_cursor.h"

namespace kestrova::output {

// Every character the same width, every line the same height, whatever the
// font: layouts on it land on predictable inches (the defaults are binary
// fractions, so sums stay exact). For tests and for doubles of a surface.
class FixedMetrics : public PrintMetrics {
 public:
  double charWidth = 0.125;
  double lineHeight = 0.25;
  double pageWidth = 8.0;  // US Letter less 0.25-inch margins

  double TextWidth(std::string_view text, const PrintFont&) const override {
    std::size_t chars = 0;
    for (const char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return static_cast<double>(chars) * charWidth;
  }
  double LineHeight(const PrintFont&) const override { return lineHeight; }
  double PageWidth() const override { return pageWidth; }
};

}  // namespace kestrova::output

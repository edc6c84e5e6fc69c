#include "core/output/paged_text.h"

#include <string>

namespace kestrova::output {
namespace {

// The length of the UTF-8 character at the start of s (a stray byte counts
// as one character).
std::size_t CharLength(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  std::size_t n = 1;
  if (lead >= 0xF0 && lead < 0xF8) {
    n = 4;
  } else if (lead >= 0xE0) {
    n = lead < 0xF0 ? 3 : 1;
  } else if (lead >= 0xC0) {
    n = 2;
  }
  if (n > s.size()) return 1;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

}  // namespace

void PrintRule(PrintCursor& cursor, double x1, double x2) {
  cursor.x = x1;
  // Guards against a surface that measures "_" as nothing.
  if (cursor.TextWidth("_") > 0) {
    while (cursor.x < x2 && !cursor.stopped()) cursor.Print("_");
  }
  cursor.EndLine();
}

void PrintPagedText(PrintCursor& cursor, std::string_view text, const PagedTextOptions& options) {
  const double printableWidth = cursor.metrics().PageWidth();
  int pageCount = 0;
  bool newPagePending = true;
  std::size_t i = 0;
  while (i < text.size() && !cursor.stopped()) {
    if (cursor.y < kPagedTextTop) cursor.y = kPagedTextTop;
    if (cursor.x < options.leftMargin) cursor.x = options.leftMargin;

    if (newPagePending) {
      newPagePending = false;
      ++pageCount;
      if (!options.heading.empty() && (options.headingOnEveryPage || pageCount == 1)) {
        cursor.SetBold(options.boldHeading);
        if (options.centredHeading) cursor.x = printableWidth / 2 - cursor.TextWidth(options.heading) / 2;
        cursor.Print(options.heading);
        cursor.EndLine();
        cursor.SetBold(false);
        cursor.EndLine();
        cursor.x = 1.0;
      }
    }

    const char c = text[i];
    if (c == '\r' || c == '\n') {
      cursor.EndLine();
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    } else {
      const std::size_t n = CharLength(text.substr(i));
      const std::string_view ch = text.substr(i, n);
      i += n;
      // Past the printable width the character would be cut off: the line
      // ends first (a blank may hang over; the wrap below ends its line).
      if (c != ' ' && cursor.x > options.leftMargin && cursor.x + cursor.TextWidth(ch) > printableWidth) {
        cursor.EndLine();
        cursor.x = options.leftMargin;
      }
      cursor.Print(ch);
      if (cursor.x > options.rightLimit - 1.0 && (c == ' ' || cursor.x > options.rightLimit + 0.5)) {
        cursor.EndLine();
      }
    }

    const bool remain = i < text.size();
    if (!remain || cursor.y > kPagedTextBottom) {
      if (pageCount > 1) {
        cursor.EndLine();
        cursor.x = kPageNumberX;
        cursor.y = kPageNumberY;
        cursor.Print("(page " + std::to_string(pageCount) + ")");
      }
      if (remain) {
        cursor.NewPage();
        newPagePending = true;
      }
    }
  }
  cursor.Flush();
}

}  // namespace kestrova::output

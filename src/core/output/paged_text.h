#pragma once

#include <string>
#include <string_view>

#include "core/output/print_cursor.h"

// The two routines every printout shares: a rule of underscores, and a long
// text wrapped and broken into numbered pages.
namespace kestrova::output {

// Underscores from x1 until x reaches or passes x2, then the line ends.
void PrintRule(PrintCursor& cursor, double x1, double x2);

struct PagedTextOptions {
  std::string heading;  // none when empty
  bool boldHeading = false;
  bool centredHeading = false;
  bool headingOnEveryPage = true;  // else on the first page only
  double leftMargin = 1.0;
  double rightLimit = 7.5;
};

// Where paged text goes on a page, in inches.
inline constexpr double kPagedTextTop = 1.0;     // never above this
inline constexpr double kPagedTextBottom = 8.8;  // a page breaks below this
inline constexpr double kPageNumberX = 6.0;
inline constexpr double kPageNumberY = 9.2;

// Prints the text from the cursor's page onwards: the heading at the top of
// a page, the text wrapped at a blank past rightLimit - 1.0, inside a word
// past rightLimit + 0.5, and before any character that would pass the
// printable width; a new page below kPagedTextBottom; "(page n)" at the foot
// of every page after the first. CR LF, a lone LF and a lone CR each end a
// line. The text is UTF-8; it is laid out a character at a time.
void PrintPagedText(PrintCursor& cursor, std::string_view text, const PagedTextOptions& options);

}  // namespace kestrova::output

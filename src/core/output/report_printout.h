#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/output/print_cursor.h"
#include "core/reports/report_entry.h"
#include "core/time/ole_date.h"

// The printed report: a heading, every filled-in field as plain labelled
// lines, and on request the narrative and the case notes on pages of their
// own. Built from the texts the report form shows, so dates and amounts
// print as they are shown.
namespace kestrova::output {

// The questions a report's printout asks before it starts: the narrative and
// the case notes when they hold more than blanks, the pictures when a slot
// of the report on display names a file.
struct ReportPrintQuestions {
  bool narrative = false;
  bool caseNotes = false;
  bool pictures = false;
};
ReportPrintQuestions ReportPrintQuestionsFor(const reports::FieldTexts46& shown,
                                             const std::array<std::string, 3>& storedPictures);

struct ReportPrintout {
  std::string applicationTitle;
  time::DateTime printedAt;
  bool narrative = false;  // the user chose to print it
  bool caseNotes = false;
};

// Lays the report out from the cursor's position on a fresh document.
void PrintReport(PrintCursor& cursor, const reports::FieldTexts46& shown, const ReportPrintout& printout);

}  // namespace kestrova::output

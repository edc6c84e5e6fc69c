#include "core/output/report_printout.h"

#include "core/output/paged_text.h"
#include "core/reports/report_display.h"
#include "core/text/fixed_text.h"
#include "core/time/date_format.h"

namespace kestrova::output {
namespace {

constexpr double kLeft = 1.0;
constexpr double kFirstLine = 0.5;
constexpr double kRuleEnd = 7.5;

}  // namespace

ReportPrintQuestions ReportPrintQuestionsFor(const reports::FieldTexts46& shown,
                                             const std::array<std::string, 3>& storedPictures) {
  ReportPrintQuestions q;
  q.narrative = !text::Trim(shown[44]).empty();
  q.caseNotes = !text::Trim(shown[45]).empty();
  for (const std::string& path : storedPictures) q.pictures = q.pictures || !text::Trim(path).empty();
  return q;
}

void PrintReport(PrintCursor& c, const reports::FieldTexts46& shown, const ReportPrintout& printout) {
  const auto F = [&](int n) -> const std::string& { return shown[static_cast<std::size_t>(n)]; };
  const auto L = [](int n) { return std::string(reports::FieldHeading(n)); };
  const auto filled = [&](int n) { return !F(n).empty(); };
  const auto filledTrimmed = [&](int n) { return !text::Trim(F(n)).empty(); };
  const auto line = [&](const std::string& text) {
    c.x = kLeft;
    c.Print(text);
    c.EndLine();
  };
  const auto emptyLine = [&] { c.EndLine(); };

  c.SetFont(PrintFont{});
  c.x = kLeft;
  c.y = kFirstLine;
  line(printout.applicationTitle + " report printout - " + L(1) + " " + F(1));
  line("printed " + time::FormatDateTime(printout.printedAt, time::kPrintedFormat));
  PrintRule(c, kLeft, kRuleEnd);
  emptyLine();
  line(L(0) + " " + F(0));
  emptyLine();

  if (filled(2)) line(L(2) + ": " + F(2));
  if (filled(3)) line(L(3) + ": " + F(3));

  emptyLine();
  line(L(4) + ": " + F(4));
  line("and entered on " + F(5));
  emptyLine();

  if (filled(6)) {
    line(filled(7) ? "Occurred from " + F(6) + " to " + F(7) : "Occurred on " + F(6));
    if (filled(8)) {
      line("Occurred at " + F(8));
      emptyLine();
    }
  }
  if (filled(9)) {
    line("Reported on " + F(9));
    if (filled(10)) line("Reported at " + F(10));
  }
  if (filled(11)) {
    line("Reported by " + F(12) + " " + F(11));
    if (filled(13)) line("Contact info: " + F(13));
  }
  emptyLine();

  for (const int name : {14, 17, 20}) {
    if (!filled(name)) continue;
    line("* " + F(name + 1));
    line(F(name));
    if (filled(name + 2)) line(F(name + 2));
  }
  emptyLine();

  for (const int vehicle : {23, 26, 29}) {
    if (!filledTrimmed(vehicle)) continue;
    line("* Vehicle (" + F(vehicle + 1) + ")");
    line(F(vehicle));
    if (filled(vehicle + 2)) line(F(vehicle + 2));
  }
  emptyLine();

  for (const int item : {32, 36, 40}) {
    if (!filledTrimmed(item)) continue;
    line("* Property (" + F(item + 1) + ")");
    line(F(item));
    if (filled(item + 2)) line(F(item + 2));
    if (filled(item + 3)) line("Value - " + F(item + 3));
  }
  emptyLine();

  const auto pagedSection = [&](const std::string& note, std::string_view body, const std::string& heading) {
    emptyLine();
    PrintRule(c, kLeft, kRuleEnd);
    line(note);
    c.NewPage();
    PrintPagedText(c, body, {.heading = heading, .boldHeading = true, .headingOnEveryPage = true});
  };
  if (printout.narrative) {
    pagedSection("(Narrative on following page(s)...)", text::Trim(F(44)), "Narrative" + L(1) + " " + F(1));
  }
  if (printout.caseNotes) {
    pagedSection("(Case Notes on following page(s)...)", F(45), "Case Notes" + L(1) + " " + F(1));
  }
  c.Flush();
}

}  // namespace kestrova::output

#include "core/reports/report_display.h"

#include "core/text/currency.h"
#include "core/text/fixed_text.h"
#include "core/time/date_format.h"

namespace kestrova::reports {
namespace {

std::string Shown(double value) {
  return time::FormatOleDate(value, time::kDateTimeFormat).value_or("");
}

std::string ShownOrEmpty(double value) { return value == 0 ? std::string() : Shown(value); }

std::string Money(std::int64_t value) { return value == 0 ? std::string() : text::FormatCurrency(value); }

}  // namespace

std::array<std::string, kFieldCount> FieldTexts(const ReportRecord& r) {
  std::array<std::string, kFieldCount> f;
  f[0] = time::FormatControlNumber(r.ControlNumber);
  f[5] = Shown(r.DateEntered);
  f[6] = ShownOrEmpty(r.OccurredFrom);
  f[7] = ShownOrEmpty(r.OccurredTo);
  f[9] = ShownOrEmpty(r.ReportedOn);
  f[35] = Money(r.Property1Value);
  f[39] = Money(r.Property2Value);
  f[43] = Money(r.Property3Value);
  // Every text member is shown trimmed in the field the member table names.
  for (const ReportMember& m : ReportMembers()) {
    if (m.type == MemberType::Text && m.field >= 1 && m.field < kFieldCount) {
      f[static_cast<std::size_t>(m.field)] = std::string(text::Trim(r.*m.text));
    }
  }
  return f;
}

std::string_view FieldHeading(int field) {
  switch (field) {
    case 0: return "Control Number";
    case 1: return "Case Number";
    case 2: return "Title or Descriptive Remarks";
    case 3: return "Criminal Violation(s) (if any)";
    case 4: return "This Report Made by";
    case 5: case 6: case 7: case 9: return "Use 'mm/dd/yyyy  hh:mm' format";
    case 8: return "Location Occurred";
    case 10: return "Location Reported";
    case 11: case 14: case 17: case 20: return "Name  R/S/A  DOB  SS# (Or Name of Business)";
    case 13: case 16: case 19: case 22: return "Address & Contact Information";
    case 23: case 26: case 29: return "Year Make Model Lic#";
    case 25: case 28: case 31: return "Other Descriptive Information (Color, Style, Identifying Features, etc.)";
    case 32: case 36: case 40: return "Basic Info - Item Name, Brand Name, etc.";
    case 34: case 38: case 42: return "Other Information (Color, Style, Serial#, etc.)";
    case 35: case 39: case 43: return "Value";
    case 12: case 15: case 18: case 21: case 24: case 27: case 30: case 33: case 37: case 41: return "Context";
    case 44: return "Incident report narrative";
    case 45: return "Investigative case notes, etc.";
    default: return "";
  }
}

int FieldMaxLength(int field) {
  switch (field) {
    case 0: return 14;
    case 5: case 6: case 7: case 9: return 25;
    case 35: case 39: case 43: return 15;
    case 44: return 16000;
    case 45: return 2169;
    default: break;
  }
  for (const ReportMember& m : ReportMembers()) {
    if (m.field == field && m.type == MemberType::Text) return static_cast<int>(m.width);
  }
  return 0;
}

std::pair<int, int> FitPicture(int width, int height) {
  if (width <= 0 || height <= 0) return {3000, 3000};
  if (width < height) return {width * 3000 / height, 3000};
  return {3000, height * 3000 / width};
}

}  // namespace kestrova::reports

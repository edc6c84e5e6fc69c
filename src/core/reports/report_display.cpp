#include "core/reports/report_display.h"

#include "core/text/currency.h"
#include "core/text/fixed_text.h"
#include "core/time/date_format.h"

namespace kestrova::reports {
namespace {

std::string Shown(double value) { return time::FormatOleDate(value, time::kDateTimeFormat).value_or(""); }

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
  return field >= 0 && field < kFieldCount ? Field(field).heading : std::string_view();
}

int FieldMaxLength(int field) { return field >= 0 && field < kFieldCount ? Field(field).maxLength : 0; }

std::pair<int, int> FitPicture(int width, int height) {
  if (width <= 0 || height <= 0) return {3000, 3000};
  if (width < height) return {width * 3000 / height, 3000};
  return {3000, height * 3000 / width};
}

}  // namespace kestrova::reports

#include "core/reports/report_entry.h"

#include <algorithm>
#include <cmath>

#include "core/reports/report_record.h"
#include "core/text/currency.h"
#include "core/text/fixed_text.h"
#include "core/text/storable_text.h"
#include "core/time/date_parse.h"

namespace kestrova::reports {
namespace {

std::string Trimmed(const std::string& s) { return std::string(text::Trim(s)); }

}  // namespace

namespace {

bool Is(int f, FieldKind kind) { return f >= 0 && f < kFieldCount && Field(f).kind == kind; }

}  // namespace

bool IsDateField(int f) { return Is(f, FieldKind::Date); }
bool IsValueField(int f) { return Is(f, FieldKind::Value); }
bool IsContextField(int f) { return Is(f, FieldKind::Context); }
bool IsMandatoryField(int f) { return f >= 0 && f < kFieldCount && Field(f).mandatory; }

bool SaveAllowed(const FieldTexts46& fields) {
  for (const FieldFact& f : kFields) {
    if (f.mandatory && text::Trim(fields[static_cast<std::size_t>(f.number)]).empty()) return false;
  }
  return true;
}

std::optional<std::string> ReportedOnDefault(const std::string& field6, const std::string& field7, int currentYear) {
  if (time::ParseDateTime(field7, currentYear)) return field7;
  if (time::ParseDateTime(field6, currentYear)) return field6;
  return std::nullopt;
}

std::optional<PickList> PickListFor(int field) {
  switch (field) {
    case 12:
    case 15:
    case 18:
    case 21:
      return PickList{"Person Context",
                      {"No entry", "", "Complainant", "Victim", "Suspect", "Arrested", "Witness", "Missing", "Owner",
                       "Manager", "Employee", "Resident", "Neighbor", "Passerby", "", "Other"}};
    case 24:
    case 27:
    case 30:
      return PickList{
          "Vehicle Context",
          {"No Entry", "", "Victim", "Suspect", "Stolen", "Recovered", "Damaged", "Abandoned", "Towed", "", "Other"}};
    case 33:
    case 37:
    case 41:
      return PickList{"PropertyContext",
                      {"No Entry", "", "Stolen", "Missing", "Recovered", "Abandoned", "Zeviduri", "", "Other"}};
    default: return std::nullopt;
  }
}

PickResult ChoosePickItem(const PickList& list, int k) {
  const int n = static_cast<int>(list.items.size());
  PickResult r;
  if (k > 1 && k < n) r.text = list.items[static_cast<std::size_t>(k - 1)];
  r.moveOn = k < n;
  return r;
}

std::string FieldName(int f) {
  if (f < 0 || f >= kFieldCount) return {};
  switch (f) {
    case 5: return "Date Entered";
    case 6: return "Occurred from";
    case 7: return "Occurred to";
    case 9: return "Reported on";
    default: break;
  }
  std::string heading(FieldHeading(f));
  if (f == 11 || f == 12 || f == 13) return "Reported by - " + heading;
  if (f >= 14 && f <= 22) return "Person " + std::to_string((f - 14) / 3 + 1) + " - " + heading;
  if (f >= 23 && f <= 31) return "Vehicle " + std::to_string((f - 23) / 3 + 1) + " - " + heading;
  if (f >= 32 && f <= 43) return "Property item " + std::to_string((f - 32) / 4 + 1) + " - " + heading;
  return heading;
}

int FieldTab(int f) { return f >= 0 && f < kFieldCount ? Field(f).tab : 0; }

std::string SpaceFullCaption(std::size_t length, std::size_t maximum) {
  const double share = std::max(0.01, static_cast<double>(length) / static_cast<double>(maximum));
  // Built by appending: GCC 12 at -O3 takes `" " + std::string&&` for an
  // overlapping copy and warns (-Wrestrict) about it.
  std::string caption(1, ' ');
  caption += std::to_string(std::lround(share * 100));
  caption += "% full ";
  return caption;
}

void NormalizeField(int f, std::string& t) {
  t = Trimmed(t);
  // assign(1, '0') rather than = "0": the same text, without GCC 12's false
  // -Wrestrict at -O3 on assigning a literal to a string just trimmed.
  if (IsValueField(f) && t.empty()) t.assign(1, '0');
}

EntryCheck StorableText(const FieldTexts46& fields) {
  EntryCheck check;
  // The next delete of any report removes every report of this case number.
  if (text::Trim(fields[1]) == kKilledMark) {
    check.ok = false;
    check.field = 1;
    check.tab = FieldTab(1);
    check.caption = "Case Number Not Stored";
    check.lines = {std::string(kKilledMark), "", "marks a report that is being deleted",
                   "and cannot be a case number."};
    return check;
  }
  for (int f = 1; f < kFieldCount; ++f) {
    auto lines = text::UnstorableTextLines(FieldName(f), fields[static_cast<std::size_t>(f)]);
    if (lines.empty()) continue;
    check.ok = false;
    check.field = f;
    check.tab = FieldTab(f);
    check.caption = text::kUnstorableCaption;
    check.lines = std::move(lines);
    return check;
  }
  return check;
}

EntryCheck GoodData(FieldTexts46& fields, int currentYear) {
  EntryCheck check;
  for (int f = 0; f < kFieldCount; ++f) {
    std::string& t = fields[static_cast<std::size_t>(f)];
    NormalizeField(f, t);
    if (IsDateField(f) && !t.empty() && !time::ParseDateTime(t, currentYear)) {
      check.ok = false;
      check.field = f;
      check.tab = f == 5 ? 0 : 1;
      check.caption = "Unrecognizable Date";
      check.lines = {t, "", "doesn't appear to be", "a valid date."};
      return check;
    }
    if (IsValueField(f)) {
      if (!text::ParseCurrency(t)) {
        check.ok = false;
        check.field = f;
        check.tab = 4;
        check.caption = "Unrecognizable Value";
        check.lines = {t, "", "doesn't appear to be", "a valid currency amount."};
        return check;
      }
    }
  }
  return check;
}

void FillFromFields(const FieldTexts46& fields, int currentYear, ReportRecord& r) {
  const auto date = [&](int f) {
    const std::string& t = fields[static_cast<std::size_t>(f)];
    if (t.empty()) return 0.0;
    return time::ParseOleDate(t, currentYear).value_or(0.0);
  };
  const auto money = [&](int f) { return text::ParseCurrency(fields[static_cast<std::size_t>(f)]).value_or(0); };
  for (const ReportMember& m : ReportMembers()) {
    if (m.type == MemberType::Text && m.field >= 1 && m.field < kFieldCount) {
      r.*m.text = fields[static_cast<std::size_t>(m.field)];
    }
  }
  r.DateEntered = date(5);
  r.OccurredFrom = date(6);
  r.OccurredTo = date(7);
  r.ReportedOn = date(9);
  r.Property1Value = money(35);
  r.Property2Value = money(39);
  r.Property3Value = money(43);
}

void FillChangedFields(const FieldTexts46& before, const FieldTexts46& after, int currentYear, ReportRecord& r) {
  FieldTexts46 changed;
  std::array<bool, kFieldCount> differs{};
  for (int f = 1; f < kFieldCount; ++f) {
    const auto i = static_cast<std::size_t>(f);
    std::string was = before[i];
    std::string now = after[i];
    NormalizeField(f, was);
    NormalizeField(f, now);
    differs[i] = was != now;
    changed[i] = now;
  }
  ReportRecord filled = r;
  FillFromFields(changed, currentYear, filled);
  for (const ReportMember& m : ReportMembers()) {
    if (m.field < 1 || m.field >= kFieldCount || !differs[static_cast<std::size_t>(m.field)]) continue;
    switch (m.type) {
      case MemberType::Text: r.*m.text = filled.*m.text; break;
      case MemberType::Date: r.*m.date = filled.*m.date; break;
      case MemberType::Currency: r.*m.currency = filled.*m.currency; break;
      default: break;
    }
  }
}

}  // namespace kestrova::reports

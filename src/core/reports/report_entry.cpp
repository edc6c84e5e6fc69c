#include "core/reports/report_entry.h"

#include <algorithm>
#include <cmath>

#include "core/text/currency.h"
#include "core/text/fixed_text.h"
#include "core/time/date_parse.h"

namespace kestrova::reports {
namespace {

std::string Trimmed(const std::string& s) { return std::string(text::Trim(s)); }

}  // namespace

bool IsDateField(int f) { return f == 5 || f == 6 || f == 7 || f == 9; }
bool IsValueField(int f) { return f == 35 || f == 39 || f == 43; }
bool IsContextField(int f) {
  switch (f) {
    case 12: case 15: case 18: case 21: case 24: case 27: case 30: case 33: case 37: case 41: return true;
    default: return false;
  }
}
bool IsMandatoryField(int f) { return f == 1 || f == 2 || f == 4 || f == 5; }

bool SaveAllowed(const FieldTexts46& fields) {
  for (int f : {1, 2, 4, 5}) {
    if (text::Trim(fields[static_cast<std::size_t>(f)]).empty()) return false;
  }
  return true;
}

std::optional<std::string> ReportedOnDefault(const std::string& field6, const std::string& field7) {
  if (time::ParseDateTime(field7)) return field7;
  if (time::ParseDateTime(field6)) return field6;
  return std::nullopt;
}

std::optional<PickList> PickListFor(int field) {
  switch (field) {
    case 12: case 15: case 18: case 21:
      return PickList{"Person Context",
                      {"No entry", "", "Complainant", "Victim", "Suspect", "Arrested", "Witness", "Missing",
                       "Owner", "Manager", "Employee", "Resident", "Neighbor", "Passerby", "", "Other"}};
    case 24: case 27: case 30:
      return PickList{"Vehicle Context", {"No Entry", "", "Victim", "Suspect", "Stolen", "Recovered", "Damaged",
                                          "Abandoned", "Towed", "", "Other"}};
    case 33: case 37: case 41:
      return PickList{"PropertyContext",
                      {"No Entry", "", "Stolen", "Missing", "Recovered", "Abandoned", "Zeviduri", "", "Other"}};
    default:
      return std::nullopt;
  }
}

PickResult ChoosePickItem(const PickList& list, int k) {
  const int n = static_cast<int>(list.items.size());
  PickResult r;
  if (k > 1 && k < n) r.text = list.items[static_cast<std::size_t>(k - 1)];
  r.moveOn = k < n;
  return r;
}

std::string SpaceFullCaption(std::size_t length, std::size_t maximum) {
  const double share = std::max(0.01, static_cast<double>(length) / static_cast<double>(maximum));
  return " " + std::to_string(std::lround(share * 100)) + "% full ";
}

EntryCheck GoodData(FieldTexts46& fields, int currentYear) {
  EntryCheck check;
  for (int f = 0; f < kFieldCount; ++f) {
    std::string& t = fields[static_cast<std::size_t>(f)];
    t = Trimmed(t);
    if (IsDateField(f) && !t.empty() && !time::ParseDateTime(t, currentYear)) {
      check.ok = false;
      check.field = f;
      check.tab = f == 5 ? 0 : 1;
      check.caption = "Unrecognizable Date";
      check.lines = {t, "", "doesn't appear to be", "a valid date."};
      return check;
    }
    if (IsValueField(f)) {
      if (t.empty()) t = "0";
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

}  // namespace kestrova::reports

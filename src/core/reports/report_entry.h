#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/reports/report_display.h"
#include "core/reports/report_record.h"

// The rules of the report form while a report is being written.
namespace kestrova::reports {

using FieldTexts46 = std::array<std::string, kFieldCount>;

// What the field table says a field is.
bool IsDateField(int field);
bool IsValueField(int field);
bool IsContextField(int field);
bool IsMandatoryField(int field);

// The save button may be pressed once fields 1, 2, 4 and 5, trimmed, all
// hold something.
bool SaveAllowed(const FieldTexts46& fields);

// What field 9 takes when it gains the focus: field 7's text when that is
// a valid date, else field 6's when that is; nothing otherwise.
// A date without a year is read in the current year, as the save reads it.
std::optional<std::string> ReportedOnDefault(const std::string& field6, const std::string& field7, int currentYear);

// The pick-list of a context field: its caption and its items in order,
// an empty item standing for a separator.
struct PickList {
  std::string caption;
  std::vector<std::string> items;
};
std::optional<PickList> PickListFor(int field);

// Item k (1-based) of a list of n items chosen: the text the field takes
// (the first and the last item clear it) and whether the focus moves on to
// the next field (all but the last, "Other").
struct PickResult {
  std::string text;
  bool moveOn = false;
};
PickResult ChoosePickItem(const PickList& list, int k);

// A field as messages name it: its heading, with the group it belongs to
// where several fields share a heading ("Person 2 - Context").
std::string FieldName(int field);
// The tab a field sits on.
int FieldTab(int field);

// " 25% full ": how full a long text field is (at least 1%).
std::string SpaceFullCaption(std::size_t length, std::size_t maximum);

// The check before a save: every field is trimmed; an empty value becomes
// "0"; the first date or value that does not read is reported.
struct EntryCheck {
  bool ok = true;
  int field = 0;  // the first bad field
  int tab = 0;    // the tab to show for it
  std::string caption;
  std::vector<std::string> lines;
};
EntryCheck GoodData(FieldTexts46& fields, int currentYear);

// What a save does to a field's text before it is read: blanks trimmed at
// both ends (tabs and line breaks stay), "0" for an empty value.
void NormalizeField(int field, std::string& text);

// The check that every text can be stored exactly as typed: the first field
// holding characters the data file's code page cannot hold is reported,
// naming them, so nothing is ever saved as "?".
EntryCheck StorableText(const FieldTexts46& fields);

// Members 2-49 from the fields (text as typed, dates and values read);
// the control number, pictures, list status and version are the caller's.
// GoodData must have passed.
void FillFromFields(const FieldTexts46& fields, int currentYear, ReportRecord& record);

// An edit's save: only the fields whose text differs from the text shown
// when editing began are read into the record, so a member nobody touched
// keeps its stored bytes (seconds of a date, line breaks, leading blanks).
void FillChangedFields(const FieldTexts46& before, const FieldTexts46& after, int currentYear, ReportRecord& record);

}  // namespace kestrova::reports

#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "core/reports/report_record.h"

// How reports leave the program in machine-readable form.
namespace kestrova::cli {

std::string JsonString(std::string_view utf8);
void AppendJsonString(std::string& out, std::string_view utf8);
// The same for a stored Windows-1252 text, decoded on the way.
void AppendStoredJsonString(std::string& out, std::string_view win1252);

// One JSON object, a key per member named as in the record: text trimmed,
// dates "YYYY-MM-DDTHH:MM:SS" or null for 0, values as decimal strings with
// four places, ListStatus and ProgramVersion as numbers. The exact form
// keeps every member as stored: texts with their leading blanks, dates as
// their stored numbers (0 for none).
void WriteReportJson(std::ostream& out, const reports::ReportRecord& record, std::string_view indent = "",
                     bool exact = false);
// The same from a report's stored bytes, appended to `out`.
void AppendStoredReportJson(std::string& out, const char* stored, std::string_view indent, bool exact);

std::string CsvField(std::string_view text);
void WriteCsvHeader(std::ostream& out);
void WriteReportCsv(std::ostream& out, const reports::ReportRecord& record);

// A member's value as text, the way JSON and CSV show it (without quotes).
// Dates that are not valid come out as "invalid date <value>".
std::string MemberText(const reports::ReportRecord& record, const reports::ReportMember& member);

}  // namespace kestrova::cli

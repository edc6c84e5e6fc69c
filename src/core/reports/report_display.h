#pragma once

#include <array>
#include <string>
#include <utility>

#include "core/reports/report_fields.h"
#include "core/reports/report_record.h"

// How the report form shows a report.
namespace kestrova::reports {

// The text of each field 0-45: text members trimmed; the control number as
// "yyyymmddhhnnss" or "n/a" for 0; the date entered always as
// "MMM dd, yyyy h:nnam/pm"; the other dates empty when 0; values
// "##,###,##0.00", empty when 0.
std::array<std::string, kFieldCount> FieldTexts(const ReportRecord& report);

// The heading of each field 0-45 as the form shows it once activated.
std::string_view FieldHeading(int field);

// The most characters each field takes.
int FieldMaxLength(int field);

// A picture's shown size in a 3000 x 3000 slot, from its natural size (both
// in twips): the longer side becomes 3000, the other keeps the proportion
// (integer division).
std::pair<int, int> FitPicture(int width, int height);

}  // namespace kestrova::reports

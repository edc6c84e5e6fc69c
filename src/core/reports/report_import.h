#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/data_folder.h"
#include "core/reports/data_file.h"
#include "core/reports/report_record.h"
#include "core/status.h"

// Reports added as they are given, every member kept (an import from
// another folder's export): checked first, then written together or not at
// all.
namespace kestrova::reports {

// A report to add, and how messages name it ("report 3 (line 12)").
struct GivenReport {
  ReportRecord report;
  std::string where;
};

// What keeps a report from being stored exactly as given, each problem
// naming its member: a date that is no date, a text longer than its member
// or holding characters the file cannot, a list status other than 1 or 2,
// a program version outside the current layout's. Empty when there is none.
std::vector<std::string> GivenReportProblems(const ReportRecord& report);

// Checks every report, and that none has the control number and date
// entered (to the second) of a report on file or of another one given;
// then appends them all in one bracket under the folder's lock. Nothing is
// written when any is refused, and a write that fails part way takes out
// what went in.
// Returns the record number of the first.
Result<std::int32_t> AppendGivenReports(const files::DataFolder& folder, const std::vector<GivenReport>& reports);

}  // namespace kestrova::reports

#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/time/ole_date.h"

// The names printouts are kept under as PDF files.
namespace kestrova::output {

// A case number as part of a file name: letters, digits, ".", "_" and "-"
// kept, everything else left out ("24/0017" gives "240017").
std::string CleanCaseNumber(std::string_view caseNumber);

// "report-<case>-<yyyymmddhhnnss>.pdf", "list-<yyyymmddhhnnss>.pdf" and
// "picture-<slot>-<case>-<yyyymmddhhnnss>.pdf", the moment being that of
// printing. A case number with nothing left after cleaning is left out with
// its dash.
std::string ReportPdfName(std::string_view caseNumber, const time::DateTime& printedAt);
std::string ListPdfName(const time::DateTime& printedAt);
std::string PicturePdfName(int slot, std::string_view caseNumber, const time::DateTime& printedAt);

// A report's picture kept beside it: "<report's name>-picture<slot>.pdf"
// (a path stays in its folder).
std::string PicturePdfBeside(std::string_view reportPath, int slot);

// "<name>-<copy>.pdf" for copy 2 and on; the name itself for copy 1.
std::string NumberedPdfName(std::string_view path, int copy);

// Takes the first free name of name, name-2, name-3...: `claim` tries one
// and says whether it got it, found it taken or failed. Nothing when it
// failed or every one of `tries` names was taken.
enum class Claim { Got, Taken, Failed };
std::optional<std::string> ClaimNumberedName(std::string_view path,
                                             const std::function<Claim(const std::string&)>& claim, int tries = 1000);

}  // namespace kestrova::output

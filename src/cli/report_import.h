#pragma once

#include <istream>
#include <vector>

#include "core/reports/report_import.h"
#include "core/status.h"

// Reports read back from a file in the form `export` writes, JSON (its
// ordinary or its exact form) or CSV. A file that is not in that form is
// refused whole, with the line or report named.
namespace kestrova::cli {

Result<std::vector<reports::GivenReport>> ReadJsonReports(std::istream& in);
Result<std::vector<reports::GivenReport>> ReadCsvReports(std::istream& in);

}  // namespace kestrova::cli

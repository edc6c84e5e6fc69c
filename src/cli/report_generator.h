#pragma once

// The generator lives in the core: the program's first start makes its
// sample folder with it too.
#include "core/startup/sample_reports.h"

namespace kestrova::cli {

using startup::DemoUser;
using startup::GenerateDemoUsers;
using startup::GenerateReports;
using startup::ReportGenerator;

}  // namespace kestrova::cli

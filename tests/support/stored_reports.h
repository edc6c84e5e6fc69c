#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/reports/data_file.h"
#include "core/reports/report_record.h"

namespace kestrova::testing {

// The case numbers on file, in record order.
inline std::vector<std::string> CaseNumbers(const std::filesystem::path& folder) {
  std::vector<std::string> cases;
  EXPECT_TRUE(reports::ScanRecords(folder, [&](std::int32_t, const char* bytes) {
                cases.push_back(reports::StoredCaseNumber(bytes));
                return true;
              }).ok());
  return cases;
}

}  // namespace kestrova::testing

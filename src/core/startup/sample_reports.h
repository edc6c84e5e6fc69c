#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/data_folder.h"
#include "core/reports/report_record.h"
#include "core/status.h"
#include "core/time/ole_date.h"

// Realistic made-up reports for demonstrations and benchmarks.
namespace kestrova::startup {

class ReportGenerator {
 public:
  explicit ReportGenerator(std::uint64_t seed);
  // The next report; the same seed always gives the same sequence.
  reports::ReportRecord Next();

 private:
  std::uint64_t Draw();
  std::uint64_t Below(std::uint64_t n);
  template <class List>
  const char* Pick(const List& list) {
    return list[Below(std::size(list))];
  }
  std::string PersonName();
  std::string Narrative(const reports::ReportRecord& r, std::size_t target);

  std::uint64_t state_;
  std::uint32_t serial_ = 0;
};

struct DemoUser {
  std::string name;      // "First Last"
  std::string level;     // the access level's name
  std::string password;  // as typed at sign-in
};

// Adds the demo users (one per access level) to a folder that has no user
// list yet, logging each addition as the program does; refuses otherwise.
Result<std::vector<DemoUser>> GenerateDemoUsers(const files::DataFolder& folder, const time::DateTime& now);

// Writes count generated reports into a folder that has no data file yet
// (creating the folder when needed); refuses a folder that has one.
Status GenerateReports(const files::DataFolder& folder, std::int32_t count, std::uint64_t seed);

// The folder of sample reports that the first start offers to try the
// program with (~/kestrova-demo): kSampleReportCount generated reports and
// the four demo users, each made only where the folder has none yet.
inline constexpr std::int32_t kSampleReportCount = 200;
struct SampleFolder {
  bool reportsMade = false;
  std::vector<DemoUser> users;  // empty when the folder had its users
};
Result<SampleFolder> MakeSampleFolder(const files::DataFolder& data, const time::DateTime& now);

}  // namespace kestrova::startup

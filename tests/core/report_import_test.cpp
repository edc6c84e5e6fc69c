#include "core/reports/report_import.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/files/file_system.h"
#include "core/time/ole_date.h"
#include "support/smb_like_file_system.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;

GivenReport Given(int i) {
  GivenReport g;
  g.report.ControlNumber = time::ToOleDate({2024, 2, 1, 8, 0, i});
  g.report.DateEntered = g.report.ControlNumber;
  g.report.CaseNumber = "24-" + std::to_string(i);
  g.report.ListStatus = kActiveList;
  g.report.ProgramVersion = 414;
  g.where = "report " + std::to_string(i);
  return g;
}

// The disk fills up at the third report's write.
class FillsUp : public files::FileSystem {
 public:
  int writes = 0;
  ssize_t Write(int fd, const void* data, std::size_t size) override {
    if (size == kReportRecordSize && ++writes == 3) {
      errno = ENOSPC;
      return -1;
    }
    return FileSystem::Write(fd, data, size);
  }
  ssize_t PWrite(int fd, const void* data, std::size_t size, std::uint64_t offset) override {
    if (size == kReportRecordSize && ++writes == 3) {
      errno = ENOSPC;
      return -1;
    }
    return FileSystem::PWrite(fd, data, size, offset);
  }
};

TEST(AppendGivenReports, AWriteThatFailsPartWayTakesOutWhatWentIn) {
  TempFolder folder;
  ASSERT_TRUE(AppendGivenReports(folder.path(), {Given(1)}).ok());
  const std::string before = ReadFileBytes(folder / std::string(kDataFileName));
  FillsUp fs;
  {
    testing::UsingFileSystem using_(fs);
    auto added = AppendGivenReports(folder.path(), {Given(2), Given(3), Given(4), Given(5)});
    ASSERT_FALSE(added.ok());
    EXPECT_NE(added.message().find("None of the reports were added"), std::string::npos) << added.message();
  }
  EXPECT_EQ(fs.writes, 3);
  EXPECT_EQ(ReadFileBytes(folder / std::string(kDataFileName)), before);
  auto again = AppendGivenReports(folder.path(), {Given(2), Given(3), Given(4), Given(5)});
  ASSERT_TRUE(again.ok()) << again.message();
  EXPECT_EQ(*again, 2);
}

TEST(AppendGivenReports, ChecksEveryMemberItCannotStoreExactly) {
  ReportRecord r = Given(1).report;
  EXPECT_TRUE(GivenReportProblems(r).empty());
  r.OccurredFrom = -1e12;
  r.Narrative = std::string(16001, 'n');
  r.ProgramVersion = 499;
  EXPECT_EQ(GivenReportProblems(r),
            (std::vector<std::string>{"OccurredFrom is not a date",
                                      "Narrative is 16001 characters long; it holds at most 16000",
                                      "ProgramVersion is 499, not that of a current-format report (411 to 498)"}));
}

}  // namespace
}  // namespace kestrova::reports

#include "core/reports/folder_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/files/file.h"
#include "core/files/record_file.h"
#include "core/reports/data_file.h"
#include "core/time/ole_date.h"
#include "core/users/user_list.h"

namespace kestrova::reports {
namespace {

namespace fs = std::filesystem;

// The files that hold the bytes of interrupted writes, moved out of a file
// of the folder by the repair, by name.
std::vector<std::string> MovedAsideFiles(const fs::path& folder, std::string_view fileName) {
  std::vector<std::string> names;
  const std::string prefix = files::PartialTailPrefix(fileName);
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The members the check looks at lie in the first bytes of a report (the
// dates and the case number; ReportedOn is the last date) and its last
// three (status and version).
constexpr std::size_t kCheckedHead = SpanOf("ReportedOn").offset + 8;

void CheckReport(std::int32_t n, const char* head, const char* tail, std::vector<FolderProblem>& problems) {
  const auto problem = [&](std::string what) { problems.push_back({n, std::move(what)}); };
  const auto status = static_cast<std::uint8_t>(tail[0]);
  std::int16_t version = 0;
  std::memcpy(&version, tail + 1, sizeof version);
  if (status != kActiveList && status != kInactiveList) {
    problem("ListStatus is " + std::to_string(status) + ", not 1 or 2");
  }
  if (!IsCurrentLayoutVersion(version)) {
    problem("ProgramVersion is " + std::to_string(version) + ", not that of a current-format report (411 to 498)");
  }
  if (IsKilled(head)) problem("marked $Killed$ by a delete that did not finish");
  for (const ReportMember& m : ReportMembers()) {
    if (m.type != MemberType::Date) continue;
    double value = 0;
    std::memcpy(&value, head + m.offset, sizeof value);
    if (!std::isfinite(value)) {
      problem(std::string(m.name) + " is not a finite number");
    } else if (value != 0 && !time::FromOleDate(value)) {
      problem(std::string(m.name) + " is out of range (" + std::to_string(value) + ")");
    }
  }
}

}  // namespace

Result<FolderCheck> CheckDataFolder(const fs::path& folder) {
  FolderCheck check;
  for (const std::string_view name : {kDataFileName, users::kUserListFileName}) {
    for (const auto& aside : MovedAsideFiles(folder, name)) {
      check.problems.push_back({0, aside + " holds the bytes of an interrupted write, moved out of " +
                                       std::string(name) + "; nothing else refers to it"});
    }
  }
  auto exists = files::RegularFileExists(folder / kDataFileName);
  if (!exists.ok()) {
    check.problems.push_back({0, exists.message()});
    return check;
  }
  if (!*exists) {
    check.dataFileMissing = true;
    return check;
  }
  DataFile file(folder);
  Status opened = file.OpenDataFile(DataFileAccess::Read);
  if (!opened.ok() && opened.error().kind == Error::Kind::Damaged) {
    check.problems.push_back({0, opened.message()});  // holes or zeros: not read through
    return check;
  }
  if (!opened.ok()) return opened.error();
  const std::uint64_t length = file.Length();
  (void)file.CloseDataFile();
  if (length % kReportRecordSize != 0) {
    check.problems.push_back(
        {0, "length " + std::to_string(length) + " is not a whole number of " + std::to_string(kReportRecordSize) +
                "-byte records: " + std::to_string(length % kReportRecordSize) + " bytes after record " +
                std::to_string(length / kReportRecordSize) +
                " are part of a report whose save was interrupted (the next save moves them aside)"});
  }
  std::vector<FolderProblem> found;
  Status scanned = ScanRecordHeads(folder, kCheckedHead, [&](std::int32_t n, const char* head, const char* tail) {
    check.reportsChecked = n;
    CheckReport(n, head, tail, found);
    // Only the first ones are kept; the rest are counted.
    for (FolderProblem& p : found) {
      if (check.problems.size() < files::kMostProblemsListed) {
        check.problems.push_back(std::move(p));
      } else {
        ++check.problemsNotListed;
      }
    }
    found.clear();
    return true;
  });
  if (!scanned.ok() && scanned.error().kind == Error::Kind::Damaged) {
    check.problems.push_back({0, scanned.message()});
    return check;
  }
  if (!scanned.ok()) return scanned.error();
  return check;
}

}  // namespace kestrova::reports

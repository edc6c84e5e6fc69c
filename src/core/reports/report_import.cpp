#include "core/reports/report_import.h"

#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <utility>

#include "core/reports/report_heads.h"
#include "core/text/win1252.h"
#include "core/time/ole_date.h"

namespace kestrova::reports {
namespace {

constexpr std::size_t kMostProblemsTold = 20;

// A report's identity on file: its control number and date entered to the
// second, as the logs and the export show them (a date that is no date by
// its stored bytes, so that it still compares).
using Identity = std::pair<std::pair<std::int64_t, std::uint64_t>, std::pair<std::int64_t, std::uint64_t>>;

std::pair<std::int64_t, std::uint64_t> DateIdentity(const char* at) {
  double value = 0;
  std::memcpy(&value, at, sizeof value);
  if (const std::int64_t key = EnteredKey(value); key >= 0) return {key, 0};
  std::uint64_t bits = 0;
  std::memcpy(&bits, at, sizeof bits);
  return {-1, bits};
}

Identity IdentityOf(const char* record) {
  return {DateIdentity(record + SpanOf("ControlNumber").offset), DateIdentity(record + SpanOf("DateEntered").offset)};
}

}  // namespace

std::vector<std::string> GivenReportProblems(const ReportRecord& r) {
  std::vector<std::string> problems;
  for (const ReportMember& m : ReportMembers()) {
    const std::string name(m.name);
    if (m.type == MemberType::Text) {
      const std::string& value = r.*m.text;
      if (const std::string bad = text::UnstorableCharacters(value); !bad.empty()) {
        problems.push_back(name + " holds characters the data file cannot: " + bad);
      } else if (const std::size_t size = text::Utf8ToWin1252(value).size(); size > m.width) {
        problems.push_back(name + " is " + std::to_string(size) + " characters long; it holds at most " +
                           std::to_string(m.width));
      }
    } else if (m.type == MemberType::Date) {
      const double value = r.*m.date;
      if (!std::isfinite(value) || (value != 0 && !time::FromOleDate(value))) {
        problems.push_back(name + " is not a date");
      }
    }
  }
  if (r.ListStatus != kActiveList && r.ListStatus != kInactiveList) {
    problems.push_back("ListStatus is " + std::to_string(r.ListStatus) + ", not 1 or 2");
  }
  if (!IsCurrentLayoutVersion(r.ProgramVersion)) {
    problems.push_back("ProgramVersion is " + std::to_string(r.ProgramVersion) +
                       ", not that of a current-format report (411 to 498)");
  }
  if (problems.empty()) {
    RecordBytes bytes;
    EncodeReportRecord(r, bytes.data());
    if (IsKilled(bytes.data())) problems.push_back("it carries the mark of a delete that did not finish");
  }
  return problems;
}

Result<std::int32_t> AppendGivenReports(const files::DataFolder& dataFolder, const std::vector<GivenReport>& reports) {
  const std::filesystem::path& folder = dataFolder.path();
  const DataFileOptions& options = dataFolder.options();
  std::vector<std::string> problems;
  const auto refuse = [&](const GivenReport& g, const std::string& why) {
    if (problems.size() < kMostProblemsTold) problems.push_back(g.where + ": " + why);
  };
  std::vector<RecordBytes> encoded(reports.size());
  for (std::size_t i = 0; i < reports.size(); ++i) {
    for (const std::string& p : GivenReportProblems(reports[i].report)) refuse(reports[i], p);
    EncodeReportRecord(reports[i].report, encoded[i].data());
  }
  const auto refused = [&]() -> Error {
    std::string message = "Nothing was added; ";
    message += problems.size() == 1 ? "one report is refused:" : "these reports are refused:";
    for (const std::string& p : problems) message += "\n" + p;
    return Error{Error::Kind::Invalid, message};
  };
  if (!problems.empty()) return refused();
  if (reports.empty()) return 0;

  DataFile file(folder, options);
  if (Status opened = file.OpenDataFile(DataFileAccess::Write); !opened.ok()) return opened.error();
  // Under the lock, so nothing is added meanwhile: which reports are on file.
  std::set<Identity> onFile;
  Status scanned = ScanRecordHeads(
      folder, SpanOf("DateEntered").offset + 8,
      [&](std::int32_t, const char* head, const char*) {
        onFile.insert(IdentityOf(head));
        return true;
      },
      options);
  if (!scanned.ok()) {
    (void)file.CloseDataFile();
    return scanned.error();
  }
  std::map<Identity, std::size_t> given;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const Identity id = IdentityOf(encoded[i].data());
    if (onFile.count(id)) {
      refuse(reports[i], "a report with its ControlNumber and DateEntered is on file already");
    } else if (auto [earlier, fresh] = given.emplace(id, i); !fresh) {
      refuse(reports[i], "it has the ControlNumber and DateEntered of " + reports[earlier->second].where);
    }
  }
  if (!problems.empty()) {
    (void)file.CloseDataFile();
    return refused();
  }
  std::int32_t first = 0;
  for (const RecordBytes& bytes : encoded) {
    auto n = file.AppendRecordBytes(bytes.data());
    if (!n.ok()) {
      Status back = file.TakeBackAppends();
      (void)file.CloseDataFile();
      if (!back.ok()) return Error{n.error().kind, n.message() + " " + back.message()};
      return Error{n.error().kind, n.message() + " None of the reports were added."};
    }
    if (first == 0) first = *n;
  }
  if (Status closed = file.CloseDataFile(); !closed.ok()) return closed.error();
  return first;
}

}  // namespace kestrova::reports

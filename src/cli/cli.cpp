#include "cli/cli.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "cli/local_clock.h"
#include "cli/report_export.h"
#include "cli/report_generator.h"
#include "cli/report_import.h"
#include "core/files/data_folder.h"
#include "core/logs/activity_log.h"
#include "core/reports/data_file.h"
#include "core/reports/folder_check.h"
#include "core/reports/report_heads.h"
#include "core/reports/report_list.h"
#include "core/stats/counts_over_time.h"
#include "core/stats/figures_text.h"
#include "core/text/currency.h"
#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "core/time/date_format.h"
#include "core/time/date_parse.h"
#include "core/time/ole_date.h"
#include "core/users/access_level.h"
#include "core/users/user_list.h"

namespace kestrova::cli {
namespace {

namespace fs = std::filesystem;
using reports::DataFile;
using reports::DataFileAccess;
using reports::kReportRecordSize;

constexpr const char* kUsage =
    "Usage: kestrova-cli [--data-dir DIR] COMMAND [OPTIONS]\n"
    "\n"
    "Reads and checks the reports of a Kestrova data folder (default: the current folder).\n"
    "\n"
    "Commands:\n"
    "  show N [--json]                  print report number N\n"
    "  list [--inactive] [--sort case|entered] [--show remarks|violations]\n"
    "       [--phrase TEXT [--kind 1-15] [--match-case] [--whole-word]]\n"
    "       [--summary 16-20 --from MM/DD/YYYY]\n"
    "                                   the window's list: its caption, then one line per row\n"
    "                                   (case number, date entered, title or violations,\n"
    "                                   record number, sort key; tab-separated)\n"
    "  records                          one line per report in file order: number, case\n"
    "                                   number, date entered, list status, title (tab-separated)\n"
    "  export --format csv|json [--exact]\n"
    "                                   every report with all its members, to standard output;\n"
    "                                   --exact (JSON) keeps texts and dates as stored\n"
    "  import --format csv|json FILE [--by NAME]\n"
    "                                   add the reports of an exported file as they are, all\n"
    "                                   or none, logged as added by NAME (kestrova-cli)\n"
    "  verify                           check the data file and list every problem found\n"
    "  users                            one line per user: number, first name, last name,\n"
    "                                   access level, date created (tab-separated)\n"
    "  log NAME                         print an activity log: signin, userlist, records or search\n"
    "  stats --by day|week|month|quarter|year [--date entered|occurred|reported]\n"
    "       [--split status|violation|madeby|context] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
    "       [--list active|inactive|all] [--format table|csv|json]\n"
    "                                   reports per period (weeks begin on Monday) and the sum\n"
    "                                   of their property values; with --split, a count per\n"
    "                                   group (the ten largest, then Other; the context split\n"
    "                                   counts property items); writes no log\n"
    "  generate [--count N] [--seed S] [--users]\n"
    "                                   write N made-up reports into a folder without a data\n"
    "                                   file; --users adds demo users to a folder without users\n"
    "                                   and prints their passwords\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR                   the data folder\n"
    "  --help                           show this text\n"
    "  --version                        print the version\n"
    "\n"
    "Exit status: 0 success, 1 a problem was found, 2 bad usage.\n";

struct Context {
  fs::path folder;
  std::ostream& out;
  std::ostream& err;
};

// The folder as a command that writes sees it: a write that waits for
// another workstation says so once, and a repair is reported.
class WritingFolder {
 public:
  WritingFolder(const fs::path& path, std::ostream& err) : folder_(path, Options(err)) {}
  const files::DataFolder& folder() const { return folder_; }

 private:
  files::RecordFileOptions Options(std::ostream& err) const {
    files::RecordFileOptions options;
    options.clock = &clock_;
    options.lock.waiting = [&err, said = false](const files::LockWait& wait) mutable {
      if (!said && !wait.finished) {
        said = true;
        err << "kestrova-cli: waiting for another workstation"
            << (wait.holder.empty() ? std::string() : " (" + wait.holder + ")")
            << " to finish writing to the data folder, at most " << (wait.limit.count() + 999) / 1000 << " seconds...\n"
            << std::flush;
      }
      return true;
    };
    options.notice = [&err](const files::FolderNotice& notice) { err << "kestrova-cli: " << notice.message << "\n"; };
    return options;
  }

  LocalClock clock_;
  files::DataFolder folder_;
};

int Usage(std::ostream& err, const std::string& message) {
  err << "kestrova-cli: " << message << "\n"
      << "Try 'kestrova-cli --help'.\n";
  return kExitUsage;
}

template <class T>
std::optional<T> Number(const std::string& text) {
  T value{};
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

int Show(Context& c, const std::vector<std::string>& args) {
  std::optional<std::int32_t> n;
  bool json = false;
  for (const auto& a : args) {
    if (a == "--json") {
      json = true;
    } else if (!n) {
      n = Number<std::int32_t>(a);
      if (!n || *n < 1) return Usage(c.err, "show needs a report number from 1 up, not '" + a + "'");
    } else {
      return Usage(c.err, "show takes one report number");
    }
  }
  if (!n) return Usage(c.err, "show needs a report number");
  DataFile file(c.folder);
  Status opened = file.OpenDataFile(DataFileAccess::Read);
  if (!opened.ok()) {
    c.err << "kestrova-cli: " << opened.message() << "\n";
    return kExitProblem;
  }
  auto record = file.ReadRecord(*n);
  (void)file.CloseDataFile();
  if (!record.ok()) {
    c.err << "kestrova-cli: " << record.message() << "\n";
    return kExitProblem;
  }
  if (json) {
    WriteReportJson(c.out, *record);
    c.out << "\n";
  } else {
    for (const auto& m : reports::ReportMembers()) {
      c.out << m.name << ": " << MemberText(*record, m) << "\n";
    }
  }
  return kExitOk;
}

int List(Context& c, const std::vector<std::string>& args) {
  reports::ListRequest request;
  search::ResetForMainWindow(request.criteria);
  std::optional<std::string> phrase;
  std::optional<int> kind;
  std::optional<int> summary;
  std::optional<std::string> from;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--inactive") {
      request.display = reports::DisplayList::Inactive;
    } else if (a == "--sort" && hasValue) {
      const std::string v = args[++i];
      if (v == "case") {
        request.sort = reports::SortOption::CaseNumber;
      } else if (v == "entered") {
        request.sort = reports::SortOption::Entered;
      } else {
        return Usage(c.err, "--sort takes case or entered");
      }
    } else if (a == "--show" && hasValue) {
      const std::string v = args[++i];
      if (v == "remarks") {
        request.show = reports::ShowOption::Remarks;
      } else if (v == "violations") {
        request.show = reports::ShowOption::Violations;
      } else {
        return Usage(c.err, "--show takes remarks or violations");
      }
    } else if (a == "--phrase" && hasValue) {
      phrase = args[++i];
    } else if (a == "--kind" && hasValue) {
      kind = Number<int>(args[++i]);
      if (!kind || !search::IsPhraseKind(*kind)) return Usage(c.err, "--kind takes 1 to 15");
    } else if (a == "--match-case") {
      request.criteria.IgnoreCapitalization = 0;
    } else if (a == "--whole-word") {
      request.criteria.WholeWordOnly = 1;
    } else if (a == "--summary" && hasValue) {
      summary = Number<int>(args[++i]);
      if (!summary || !search::IsSummaryKind(*summary)) return Usage(c.err, "--summary takes 16 to 20");
    } else if (a == "--from" && hasValue) {
      from = args[++i];
    } else {
      return Usage(c.err, "list does not know '" + a + "'");
    }
  }
  if (phrase && summary) return Usage(c.err, "list takes --phrase or --summary, not both");
  if (kind && !phrase) return Usage(c.err, "--kind goes with --phrase");
  if (summary.has_value() != from.has_value()) return Usage(c.err, "--summary and --from go together");
  if (phrase) {
    const std::string trimmed(text::Trim(*phrase));
    if (trimmed.empty()) return Usage(c.err, "--phrase needs some text");
    request.flags = {false, true, false};
    request.criteria.SearchPhrase = trimmed;
    request.criteria.SearchKind = static_cast<std::int16_t>(kind.value_or(1));
  } else if (summary) {
    const auto date = time::ParseDateTime(*from);
    if (!date || date->hour || date->minute || date->second) {
      return Usage(c.err, "--from takes a date such as 03/01/2010");
    }
    request.flags = {false, false, true};
    request.criteria.SearchKind = static_cast<std::int16_t>(*summary);
    request.criteria.BeginningDate = time::ToOleDate(*date);
  }
  auto list = reports::BuildReportList(c.folder, request);
  if (!list.ok()) {
    c.err << "kestrova-cli: " << list.message() << "\n";
    return kExitProblem;
  }
  c.out << list->caption << "\n";
  for (const auto& row : list->rows) {
    c.out << row.caseNumber << '\t' << row.dateEntered << '\t' << row.rightColumn << '\t' << row.recordNumber << '\t'
          << row.sortKey << '\n';
  }
  return kExitOk;
}

int Records(Context& c, const std::vector<std::string>& args) {
  if (!args.empty()) return Usage(c.err, "records takes no arguments");
  // The members shown lie in the heads the list keeps: taken from the
  // folder's index when it can be trusted, else from the start of each
  // report (after which the index is offered, as the list does).
  constexpr auto kCase = reports::SpanOf("CaseNumber");
  constexpr auto kTitle = reports::SpanOf("Title");
  constexpr auto kEntered = reports::SpanOf("DateEntered");
  static_assert(kCase.offset + kCase.width <= reports::kHeadSize && kTitle.offset + kTitle.width <= reports::kHeadSize);
  reports::ReportHeads heads;
  auto refreshed = heads.Refresh(c.folder);
  if (!refreshed.ok()) {
    c.err << "kestrova-cli: " << refreshed.message() << "\n";
    return kExitProblem;
  }
  std::string lines, scratch;
  for (std::int32_t n = 1; n <= heads.count(); ++n) {
    const char* head = heads.head(n);
    double entered = 0;
    std::memcpy(&entered, head + kEntered.offset, sizeof entered);
    lines += std::to_string(n);
    lines += '\t';
    text::Win1252ToUtf8(text::TrimStored(head + kCase.offset, kCase.width), scratch);
    lines += scratch;
    lines += '\t';
    lines += time::FormatOleDate(entered, time::kDateFormat).value_or("invalid date");
    lines += '\t';
    lines += std::to_string(heads.status(n));
    lines += '\t';
    text::Win1252ToUtf8(text::TrimStored(head + kTitle.offset, kTitle.width), scratch);
    lines += scratch;
    lines += '\n';
    if (lines.size() > (1u << 20)) {
      c.out << lines;
      lines.clear();
    }
  }
  c.out << lines;
  return kExitOk;
}

int Export(Context& c, const std::vector<std::string>& args) {
  std::string format;
  bool exact = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--exact") {
      exact = true;
    } else if (args[i] == "--format" && i + 1 < args.size()) {
      format = args[++i];
    } else if (args[i].rfind("--format=", 0) == 0) {
      format = args[i].substr(9);
    } else {
      return Usage(c.err, "export does not know '" + args[i] + "'");
    }
  }
  if (format != "csv" && format != "json") return Usage(c.err, "export needs --format csv or --format json");
  if (exact && format != "json") return Usage(c.err, "--exact is a form of the JSON export");
  bool first = true;
  if (format == "csv") {
    WriteCsvHeader(c.out);
  } else {
    c.out << "[";
  }
  // JSON is put together in a buffer of its own and written a few
  // megabytes at a time.
  std::string json;
  Status scanned = reports::ScanRecords(c.folder, [&](std::int32_t, const char* bytes) {
    if (format == "csv") {
      WriteReportCsv(c.out, reports::DecodeReportRecord(bytes));
    } else {
      json += first ? "\n  " : ",\n  ";
      AppendStoredReportJson(json, bytes, "  ", exact);
      if (json.size() > (4u << 20)) {
        c.out << json;
        json.clear();
      }
    }
    first = false;
    return true;
  });
  if (format == "json") c.out << json << (first ? "]\n" : "\n]\n");
  if (!scanned.ok()) {
    c.err << "kestrova-cli: " << scanned.message() << "\n";
    return kExitProblem;
  }
  return kExitOk;
}

int Import(Context& c, const std::vector<std::string>& args) {
  std::string format;
  std::string by = "kestrova-cli";
  std::optional<fs::path> file;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--format" && i + 1 < args.size()) {
      format = args[++i];
    } else if (args[i] == "--by" && i + 1 < args.size()) {
      by = args[++i];
    } else if (args[i].rfind("--", 0) != 0 && !file) {
      file = args[i];
    } else {
      return Usage(c.err, "import does not know '" + args[i] + "'");
    }
  }
  if (format != "csv" && format != "json") return Usage(c.err, "import needs --format csv or --format json");
  if (!file) return Usage(c.err, "import needs the file to read");
  if (by.empty()) return Usage(c.err, "--by needs a name");
  std::ifstream in(*file, std::ios::binary);
  if (!in) {
    c.err << "kestrova-cli: cannot open " << file->string() << "\n";
    return kExitProblem;
  }
  auto given = format == "json" ? ReadJsonReports(in) : ReadCsvReports(in);
  if (given.ok() && in.bad())
    given = Error{Error::Kind::Io, "Nothing was added: " + file->string() + " could not be read."};
  if (!given.ok()) {
    c.err << "kestrova-cli: " << given.message() << "\n";
    return kExitProblem;
  }
  const WritingFolder writing(c.folder, c.err);
  auto first = reports::AppendGivenReports(writing.folder(), *given);
  if (!first.ok()) {
    c.err << "kestrova-cli: " << first.message() << "\n";
    return kExitProblem;
  }
  LocalClock clock;
  for (const reports::GivenReport& g : *given) {
    Status logged = logs::LogRecordChange(c.folder, clock.Now(), logs::kAdded, g.report, by);
    if (!logged.ok()) {
      c.err << "kestrova-cli: the reports were added, but not all of them to " << logs::kDataRecordsLog << ": "
            << logged.message() << "\n";
      return kExitProblem;
    }
  }
  c.out << "Added " << given->size() << (given->size() == 1 ? " report" : " reports");
  if (!given->empty())
    c.out << " as records " << *first << " to " << *first + static_cast<std::int32_t>(given->size()) - 1;
  c.out << ".\n";
  return kExitOk;
}

int Verify(Context& c, const std::vector<std::string>& args) {
  if (!args.empty()) return Usage(c.err, "verify takes no arguments");
  auto check = reports::CheckDataFolder(c.folder);
  if (!check.ok()) {
    c.err << "kestrova-cli: " << check.message() << "\n";
    return kExitProblem;
  }
  if (check->dataFileMissing && check->problems.empty()) {
    c.out << "No data file in " << c.folder.string() << ": no reports on file.\n";
    return kExitOk;
  }
  for (const reports::FolderProblem& p : check->problems) {
    if (p.record > 0) {
      c.out << "record " << p.record << ": " << p.what << "\n";
    } else {
      c.out << "file: " << p.what << "\n";
    }
  }
  if (check->problemsNotListed > 0) {
    c.out << "... and " << check->problemsNotListed << " more problems of the same kinds, not listed.\n";
  }
  const std::size_t problems = check->problems.size() + check->problemsNotListed;
  if (problems == 0) {
    c.out << check->reportsChecked << " reports checked, no problems found.\n";
    return kExitOk;
  }
  c.out << check->reportsChecked << " reports checked, " << problems << (problems == 1 ? " problem" : " problems")
        << " found.\n";
  return kExitProblem;
}

int Users(Context& c, const std::vector<std::string>& args) {
  if (!args.empty()) return Usage(c.err, "users takes no arguments");
  auto users = users::ListUsers(c.folder);
  if (!users.ok()) {
    c.err << "kestrova-cli: " << users.message() << "\n";
    return kExitProblem;
  }
  std::size_t i = 0;
  for (const auto& u : users->users) {
    c.out << users->recordNumbers[i++] << '\t' << text::Trim(u.FirstName) << '\t' << text::Trim(u.LastName) << '\t'
          << users::AccessLevelName(u.AccessLevel) << '\t'
          << time::FormatOleDate(u.DateCreated, time::kDateFormat).value_or("invalid date") << '\n';
  }
  if (!users->damage.empty()) {
    c.err << "kestrova-cli: " << users->damage << "\n";
    return kExitProblem;
  }
  return kExitOk;
}

int Log(Context& c, const std::vector<std::string>& args) {
  static const std::pair<const char*, std::string_view> kLogs[] = {{"signin", logs::kSignInOutLog},
                                                                   {"userlist", logs::kUserListLog},
                                                                   {"records", logs::kDataRecordsLog},
                                                                   {"search", logs::kSearchLog}};
  if (args.size() != 1) return Usage(c.err, "log needs one of: signin, userlist, records, search");
  for (const auto& [name, file] : kLogs) {
    if (args[0] != name) continue;
    // In pieces: a log may be larger than memory.
    Status read = logs::ReadLogPieces(c.folder, file, [&](std::string_view piece) {
      c.out << piece;
      return static_cast<bool>(c.out);
    });
    if (!read.ok()) {
      if (read.error().kind == Error::Kind::NotFound) {
        c.err << "kestrova-cli: " << file << " holds no entries yet.\n";
        return kExitOk;
      }
      c.err << "kestrova-cli: " << read.message() << "\n";
      return kExitProblem;
    }
    return kExitOk;
  }
  return Usage(c.err, "log needs one of: signin, userlist, records, search");
}

// "2024-01-15" and nothing else.
std::optional<time::DateTime> IsoDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = Number<int>(text.substr(0, 4));
  const auto month = Number<int>(text.substr(5, 2));
  const auto day = Number<int>(text.substr(8, 2));
  if (!year || !month || !day || !time::IsValidDate(*year, *month, *day)) return std::nullopt;
  return time::DateTime{*year, *month, *day, 0, 0, 0};
}

template <class T>
std::optional<T> Choice(const std::string& word, std::initializer_list<std::pair<const char*, T>> choices) {
  for (const auto& [name, value] : choices) {
    if (word == name) return value;
  }
  return std::nullopt;
}

void WriteStatsJson(std::ostream& out, const stats::TimeFigures& f) {
  out << "{\n  \"periods\": [";
  for (std::size_t i = 0; i < f.periods.size(); ++i) {
    const stats::PeriodFigures& p = f.periods[i];
    out << (i ? ",\n" : "\n") << "    {\"start\": \"" << stats::IsoDay(p.start) << "\", \"count\": " << p.total.count
        << ", \"value\": \"" << stats::ValueText(p.total.value) << "\"";
    if (!f.groups.empty() || f.split != stats::Split::None) {
      out << ", \"by\": {";
      for (std::size_t g = 0; g < f.groups.size(); ++g) {
        out << (g ? ", " : "") << JsonString(f.groups[g]) << ": " << p.groups[g].count;
      }
      out << "}";
    }
    out << "}";
  }
  out << (f.periods.empty() ? "],\n" : "\n  ],\n") << "  \"no_date\": " << f.noDate.count << "\n}\n";
}

void WriteStatsTable(std::ostream& out, const stats::TimeFigures& f) {
  std::vector<std::vector<std::string>> rows;
  rows.push_back({"Start", "Count", "Value"});
  rows.front().insert(rows.front().end(), f.groups.begin(), f.groups.end());
  const auto add = [&](std::string start, const stats::Figure& total, const std::vector<stats::Figure>& groups) {
    std::vector<std::string> row{std::move(start), std::to_string(total.count), text::FormatCurrency(total.value)};
    for (const stats::Figure& g : groups) row.push_back(std::to_string(g.count));
    rows.push_back(std::move(row));
  };
  for (const stats::PeriodFigures& p : f.periods) add(stats::IsoDay(p.start), p.total, p.groups);
  if (f.noDate.count > 0) add("no date", f.noDate, f.noDateGroups);
  // Widths in characters, not bytes: group names may hold accented letters.
  const auto length = [](const std::string& s) {
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  };
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) widths[k] = std::max(widths[k], length(row[k]));
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t k = 0; k < row.size(); ++k) {
      const std::string pad(widths[k] - length(row[k]), ' ');
      line += k == 0 ? row[k] + pad : "  " + pad + row[k];
    }
    out << line << "\n";
  }
}

int Stats(Context& c, const std::vector<std::string>& args) {
  using namespace stats;
  CountRequest request;
  bool periodGiven = false;
  std::string format = "table";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return Usage(c.err, "stats does not know '" + a + "' without a value");
    const std::string& v = args[++i];
    if (a == "--by") {
      const auto p = Choice<Period>(v, {{"day", Period::Day},
                                        {"week", Period::Week},
                                        {"month", Period::Month},
                                        {"quarter", Period::Quarter},
                                        {"year", Period::Year}});
      if (!p) return Usage(c.err, "--by takes day, week, month, quarter or year");
      request.period = *p;
      periodGiven = true;
    } else if (a == "--date") {
      const auto d = Choice<DateMember>(v, {{"entered", DateMember::Entered},
                                            {"occurred", DateMember::OccurredFrom},
                                            {"reported", DateMember::ReportedOn}});
      if (!d) return Usage(c.err, "--date takes entered, occurred or reported");
      request.date = *d;
    } else if (a == "--split") {
      const auto s = Choice<Split>(v, {{"status", Split::ListStatus},
                                       {"violation", Split::Violations},
                                       {"madeby", Split::MadeBy},
                                       {"context", Split::PropertyContext}});
      if (!s) return Usage(c.err, "--split takes status, violation, madeby or context");
      request.split = *s;
    } else if (a == "--from" || a == "--to") {
      const auto day = IsoDate(v);
      if (!day) return Usage(c.err, a + " takes a date such as 2024-01-31");
      (a == "--from" ? request.from : request.to) = day;
    } else if (a == "--list") {
      const auto l = Choice<Lists>(v, {{"active", Lists::Active}, {"inactive", Lists::Inactive}, {"all", Lists::All}});
      if (!l) return Usage(c.err, "--list takes active, inactive or all");
      request.lists = *l;
    } else if (a == "--format") {
      if (v != "table" && v != "csv" && v != "json") return Usage(c.err, "--format takes table, csv or json");
      format = v;
    } else {
      return Usage(c.err, "stats does not know '" + a + "'");
    }
  }
  if (!periodGiven) return Usage(c.err, "stats needs --by day, week, month, quarter or year");
  if (request.from && request.to &&
      time::DaySerial(request.to->year, request.to->month, request.to->day) <
          time::DaySerial(request.from->year, request.from->month, request.from->day)) {
    return Usage(c.err, "--to is before --from");
  }
  auto figures = CountOverTime(c.folder, request);
  if (!figures.ok()) {
    c.err << "kestrova-cli: " << figures.message() << "\n";
    return kExitProblem;
  }
  if (format == "json") {
    WriteStatsJson(c.out, *figures);
  } else if (format == "csv") {
    c.out << FiguresCsv(*figures);
  } else {
    WriteStatsTable(c.out, *figures);
  }
  if (const std::string note = DamageNote(*figures); !note.empty()) c.err << "kestrova-cli: " << note << "\n";
  return kExitOk;
}

int Generate(Context& c, const std::vector<std::string>& args) {
  std::optional<std::int32_t> count;
  std::uint64_t seed = 1;
  bool withUsers = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--count" && i + 1 < args.size()) {
      count = Number<std::int32_t>(args[++i]);
      if (!count || *count < 0) return Usage(c.err, "--count needs a whole number from 0 up");
    } else if (args[i] == "--seed" && i + 1 < args.size()) {
      const auto s = Number<std::uint64_t>(args[++i]);
      if (!s) return Usage(c.err, "--seed needs a whole number from 0 up");
      seed = *s;
    } else if (args[i] == "--users") {
      withUsers = true;
    } else {
      return Usage(c.err, "generate does not know '" + args[i] + "'");
    }
  }
  if (!count && !withUsers) return Usage(c.err, "generate needs --count N, --users, or both");
  const WritingFolder writing(c.folder, c.err);
  if (count) {
    Status generated = GenerateReports(writing.folder(), *count, seed);
    if (!generated.ok()) {
      c.err << "kestrova-cli: " << generated.message() << "\n";
      return kExitProblem;
    }
    c.out << "Wrote " << *count << " reports to " << (c.folder / reports::kDataFileName).string() << "\n";
  }
  if (withUsers) {
    LocalClock clock;
    auto demo = GenerateDemoUsers(writing.folder(), clock.Now());
    if (!demo.ok()) {
      c.err << "kestrova-cli: " << demo.message() << "\n";
      return kExitProblem;
    }
    c.out << "Demo users (name, access level, password):\n";
    for (const auto& u : *demo) {
      c.out << "  " << u.name << "\t" << u.level << "\t" << u.password << "\n";
    }
  }
  return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Context c{fs::path("."), out, err};
  std::string command;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out << kUsage;
      return kExitOk;
    }
    if (command.empty() && a == "--version") {
      out << "kestrova-cli " << KESTROVA_VERSION_STRING << "\n";
      return kExitOk;
    }
    if (command.empty() && a == "--data-dir") {
      if (i + 1 >= args.size()) return Usage(err, "--data-dir needs a folder");
      c.folder = args[++i];
    } else if (command.empty() && a.rfind("--data-dir=", 0) == 0) {
      c.folder = a.substr(11);
    } else if (command.empty()) {
      if (a.rfind("--", 0) == 0) return Usage(err, "unknown option '" + a + "'");
      command = a;
    } else {
      rest.push_back(a);
    }
  }
  if (command.empty()) return Usage(err, "no command given");
  if (command != "generate") {
    std::error_code ec;
    if (!fs::is_directory(c.folder, ec)) {
      err << "kestrova-cli: the data folder " << c.folder.string() << " does not exist.\n";
      return kExitProblem;
    }
  }
  if (command == "show") return Show(c, rest);
  if (command == "list") return List(c, rest);
  if (command == "records") return Records(c, rest);
  if (command == "export") return Export(c, rest);
  if (command == "import") return Import(c, rest);
  if (command == "verify") return Verify(c, rest);
  if (command == "users") return Users(c, rest);
  if (command == "log") return Log(c, rest);
  if (command == "stats") return Stats(c, rest);
  if (command == "generate") return Generate(c, rest);
  return Usage(err, "unknown command '" + command + "'");
}

}  // namespace kestrova::cli

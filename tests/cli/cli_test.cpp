#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <thread>

#include "cli/cli.h"
#include "cli/report_export.h"
#include "core/files/data_folder.h"
#include "core/reports/data_file.h"
#include "core/text/win1252.h"
#include "core/time/ole_date.h"
#include "core/users/passwords.h"
#include "core/users/user_list.h"
#include "support/still_clock.h"
#include "support/temp_folder.h"

namespace kestrova::cli {
namespace {

namespace fs = std::filesystem;
using reports::ReportRecord;
using testing::TempFolder;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

ReportRecord Sample() {
  ReportRecord r;
  r.ControlNumber = time::ToOleDate({2024, 1, 5, 15, 5, 9});
  r.CaseNumber = "24-0042";
  r.Title = "Stolen bicycle, \"red\"";
  r.ReportMadeBy = "Ofc. Jos\u00E9 Park";
  r.DateEntered = time::ToOleDate({2024, 1, 5, 15, 0, 0});
  r.Narrative = "Line one\r\nLine two";
  r.Property1Value = 12345000;
  r.Property2Value = -5;
  r.ListStatus = 2;
  r.ProgramVersion = 414;
  return r;
}

class CliTest : public ::testing::Test {
 protected:
  void Add(const ReportRecord& r) { ASSERT_TRUE(reports::AppendReport(folder.path(), r).ok()); }
  std::string Dir() const { return folder.path().string(); }
  TempFolder folder;
};

TEST_F(CliTest, ShowJsonHasOneKeyPerMemberWithTypedValues) {
  Add(Sample());
  const CliRun run = Cli({"--data-dir", Dir(), "show", "1", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string& j = run.out;
  EXPECT_NE(j.find("\"ControlNumber\": \"2024-01-05T15:05:09\""), std::string::npos) << j;
  EXPECT_NE(j.find("\"CaseNumber\": \"24-0042\""), std::string::npos);
  EXPECT_NE(j.find("\"Title\": \"Stolen bicycle, \\\"red\\\"\""), std::string::npos);
  EXPECT_NE(j.find("\"ReportMadeBy\": \"Ofc. Jos\u00E9 Park\""), std::string::npos);
  EXPECT_NE(j.find("\"OccurredFrom\": null"), std::string::npos);
  EXPECT_NE(j.find("\"Narrative\": \"Line one\\r\\nLine two\""), std::string::npos);
  EXPECT_NE(j.find("\"Property1Value\": \"1234.5000\""), std::string::npos);
  EXPECT_NE(j.find("\"Property2Value\": \"-0.0005\""), std::string::npos);
  EXPECT_NE(j.find("\"Property3Value\": \"0.0000\""), std::string::npos);
  EXPECT_NE(j.find("\"ListStatus\": 2,"), std::string::npos);
  EXPECT_NE(j.find("\"ProgramVersion\": 414\n"), std::string::npos);
  EXPECT_NE(j.find("\"CaseNotes\": \"\""), std::string::npos);
  std::size_t keys = 0;
  for (std::size_t at = j.find("\": "); at != std::string::npos; at = j.find("\": ", at + 1)) ++keys;
  EXPECT_EQ(keys, 51u);
}

TEST_F(CliTest, ShowRefusesARecordThatIsNotThere) {
  Add(Sample());
  const CliRun missing = Cli({"--data-dir", Dir(), "show", "2"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("not on file"), std::string::npos);
  EXPECT_EQ(Cli({"--data-dir", Dir(), "show", "two"}).status, 2);
  EXPECT_EQ(Cli({"--data-dir", Dir(), "show"}).status, 2);
  const CliRun plain = Cli({"--data-dir", Dir(), "show", "1"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_NE(plain.out.find("CaseNumber: 24-0042\n"), std::string::npos);
}

TEST_F(CliTest, RecordsListsEveryReportInFileOrder) {
  Add(Sample());
  ReportRecord second = Sample();
  second.CaseNumber = "  24-0043  ";
  second.Title = "Found property";
  second.ListStatus = 1;
  second.DateEntered = time::ToOleDate({2023, 12, 31, 23, 0, 0});
  Add(second);
  const CliRun run = Cli({"--data-dir", Dir(), "records"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "1\t24-0042\t01/05/2024\t2\tStolen bicycle, \"red\"\n"
            "2\t24-0043\t12/31/2023\t1\tFound property\n");
}

TEST_F(CliTest, ExportCsvQuotesAsRfc4180Asks) {
  Add(Sample());
  const CliRun run = Cli({"--data-dir", Dir(), "export", "--format", "csv"});
  ASSERT_EQ(run.status, 0);
  std::istringstream lines(run.out);
  std::string header;
  std::getline(lines, header);
  EXPECT_EQ(header.rfind("ControlNumber,CaseNumber,Title,CriminalViolations,", 0), 0u);
  EXPECT_EQ(header.back(), '\r');
  EXPECT_NE(header.find(",ListStatus,ProgramVersion\r"), std::string::npos);
  EXPECT_NE(run.out.find("\r\n2024-01-05T15:05:09,24-0042,\"Stolen bicycle, \"\"red\"\"\",,"), std::string::npos)
      << run.out.substr(0, 600);
  EXPECT_NE(run.out.find(",\"Line one\r\nLine two\","), std::string::npos);
  EXPECT_NE(run.out.find(",1234.5000,"), std::string::npos);
  EXPECT_EQ(run.out.substr(run.out.size() - 8), ",2,414\r\n");
}

TEST_F(CliTest, ExportJsonIsAnArrayOfTheShownObjects) {
  const CliRun empty = Cli({"--data-dir", Dir(), "export", "--format", "json"});
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "[]\n");
  Add(Sample());
  Add(Sample());
  const CliRun run = Cli({"--data-dir", Dir(), "export", "--format=json"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("[\n  {\n    \"ControlNumber\"", 0), 0u) << run.out.substr(0, 80);
  EXPECT_NE(run.out.find("\n  },\n  {\n"), std::string::npos);
  EXPECT_EQ(run.out.substr(run.out.size() - 7), "\n  }\n]\n");
  EXPECT_EQ(Cli({"--data-dir", Dir(), "export", "--format", "xml"}).status, 2);
  EXPECT_EQ(Cli({"--data-dir", Dir(), "export"}).status, 2);
}

TEST(JsonText, EveryByteIsEscapedOrDecodedWhereverItFallsInAText) {
  // The plain runs are found sixteen bytes at a time: each byte value at
  // each place around those steps, in a stored text and in UTF-8.
  const auto expected = [](std::string_view utf8) {
    std::string out = "\"";
    for (const char ch : utf8) {
      const auto c = static_cast<unsigned char>(ch);
      const std::map<unsigned char, std::string> named = {
          {'"', "\\\""}, {'\\', "\\\\"}, {'\n', "\\n"}, {'\r', "\\r"}, {'\t', "\\t"}};
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned>(c));
      out += named.count(c) ? named.at(c) : c < 0x20 ? std::string(hex) : std::string(1, ch);
    }
    return out + "\"";
  };
  for (int byte = 0; byte < 256; ++byte) {
    for (const std::size_t at : {0, 1, 15, 16, 17, 31, 32, 40}) {
      std::string stored(41, 'a');
      stored[at] = static_cast<char>(byte);
      stored[40 - at] = '"';
      std::string json;
      AppendStoredJsonString(json, stored);
      EXPECT_EQ(json, expected(text::Win1252ToUtf8(stored))) << byte << " at " << at;
      json.clear();
      AppendJsonString(json, text::Win1252ToUtf8(stored));
      EXPECT_EQ(json, expected(text::Win1252ToUtf8(stored))) << byte << " at " << at;
    }
  }
  std::string json;
  AppendStoredJsonString(json, "\x80\x81\x9F\xE9\x01");
  EXPECT_EQ(json, "\"\u20AC\u0081\u0178\u00E9\\u0001\"");
}

TEST(JsonText, DatesAtTheEndsOfTheRangeKeepTheirDigits) {
  ReportRecord r;
  r.OccurredFrom = time::ToOleDate({100, 1, 2, 3, 4, 5});
  r.OccurredTo = time::ToOleDate({9999, 12, 31, 23, 59, 59});
  r.ReportedOn = time::ToOleDate({1899, 12, 29, 0, 0, 1});
  std::ostringstream out;
  WriteReportJson(out, r);
  const std::string j = out.str();
  EXPECT_NE(j.find("\"OccurredFrom\": \"0100-01-02T03:04:05\","), std::string::npos) << j;
  EXPECT_NE(j.find("\"OccurredTo\": \"9999-12-31T23:59:59\","), std::string::npos) << j;
  EXPECT_NE(j.find("\"ReportedOn\": \"1899-12-29T00:00:01\","), std::string::npos) << j;
  EXPECT_NE(j.find("\"ControlNumber\": null,"), std::string::npos) << j;
}

TEST_F(CliTest, VerifyNamesEveryProblemWithItsRecord) {
  Add(Sample());
  const CliRun clean = Cli({"--data-dir", Dir(), "verify"});
  EXPECT_EQ(clean.status, 0) << clean.out;
  EXPECT_EQ(clean.out, "1 reports checked, no problems found.\n");

  ReportRecord bad = Sample();
  bad.ListStatus = 7;
  bad.ProgramVersion = 0;
  bad.CaseNumber = "$Killed$";
  bad.OccurredTo = 1e300;
  bad.ReportedOn = std::numeric_limits<double>::quiet_NaN();
  Add(bad);
  {
    std::ofstream tail(folder / "Kestrova.Data", std::ios::binary | std::ios::app);
    tail << "junk";
  }
  const CliRun run = Cli({"--data-dir", Dir(), "verify"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("file: length 40006 is not a whole number of 20001-byte records"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("record 2: ListStatus is 7, not 1 or 2\n"), std::string::npos);
  EXPECT_NE(run.out.find("record 2: ProgramVersion is 0"), std::string::npos);
  EXPECT_NE(run.out.find("record 2: marked $Killed$"), std::string::npos);
  EXPECT_NE(run.out.find("record 2: OccurredTo is out of range"), std::string::npos);
  EXPECT_NE(run.out.find("record 2: ReportedOn is not a finite number"), std::string::npos);
  EXPECT_EQ(run.out.find("record 1:"), std::string::npos);
  EXPECT_NE(run.out.find("2 reports checked, 6 problems found.\n"), std::string::npos);
}

// An interrupted save: verify names the partial tail; the next write moves
// it aside, says so, and verify then names the file it went to.
TEST_F(CliTest, VerifyReportsAPartialTailAndTheFilesItWasMovedTo) {
  Add(Sample());
  {
    std::ofstream tail(folder / "Kestrova.Data", std::ios::binary | std::ios::app);
    tail << std::string(300, 'p');
  }
  const CliRun before = Cli({"--data-dir", Dir(), "verify"});
  EXPECT_EQ(before.status, 1);
  EXPECT_NE(before.out.find("300 bytes after record 1 are part of a report whose save was interrupted"),
            std::string::npos)
      << before.out;

  // The next save, with a clock to name the file, repairs it.
  {
    testing::StillClock clock;
    files::RecordFileOptions options;
    options.clock = &clock;
    ASSERT_TRUE(reports::AppendReport({folder.path(), options}, Sample()).ok());
  }
  const CliRun after = Cli({"--data-dir", Dir(), "verify"});
  EXPECT_EQ(after.status, 1);
  EXPECT_NE(after.out.find("file: Kestrova.Data.partial-20261206140509 holds the bytes of an interrupted "
                           "write, moved out of Kestrova.Data"),
            std::string::npos)
      << after.out;
  EXPECT_EQ(after.out.find("bytes after record"), std::string::npos) << after.out;
  EXPECT_NE(after.out.find("2 reports checked, 1 problem found."), std::string::npos) << after.out;
}

TEST_F(CliTest, NumbersOutOfRangeAreRefusedNotOverflowed) {
  Add(Sample());
  for (const char* n : {"-2147483648", "0", "2147483648", "99999999999999999999"}) {
    const CliRun run = Cli({"--data-dir", Dir(), "show", n});
    EXPECT_EQ(run.status, 2) << n;
  }
  const CliRun past = Cli({"--data-dir", Dir(), "show", "2147483647"});
  EXPECT_EQ(past.status, 1);
  EXPECT_NE(past.err.find("Report number 2147483647 is not on file"), std::string::npos) << past.err;
  EXPECT_EQ(Cli({"--data-dir", Dir(), "generate", "--count", "2147483648"}).status, 2);
}

TEST_F(CliTest, ADataFileThatIsAFolderOrALinkIsAProblemNotAnEmptyList) {
  fs::create_directory(folder / "Kestrova.Data");
  for (const char* command : {"list", "records", "verify"}) {
    const CliRun run = Cli({"--data-dir", Dir(), command});
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE((run.out + run.err).find("Kestrova.Data in the data folder is a folder"), std::string::npos)
        << command << ": " << run.out << run.err;
  }
  fs::remove(folder / "Kestrova.Data");
  fs::create_symlink(folder / "gone", folder / "Kestrova.Data");
  const CliRun dangling = Cli({"--data-dir", Dir(), "verify"});
  EXPECT_EQ(dangling.status, 1);
  EXPECT_NE(dangling.out.find("a symbolic link"), std::string::npos) << dangling.out;
}

TEST_F(CliTest, AWriteThatWaitsForAnotherWorkstationSaysSoOnce) {
  // Another workstation's lock, alive: the write waits (here, until the
  // lock goes), printing one line.
  std::string lock = "Kestrova lock\nhost=elsewhere\nmachine=x\npid=1\ntoken=1\nbeat=1\n";
  testing::WriteFileBytes(folder / "Kestrova.Lock", lock);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    fs::remove(folder / "Kestrova.Lock");
  });
  const CliRun run = Cli({"--data-dir", Dir(), "generate", "--count", "2"});
  release.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "kestrova-cli: waiting for another workstation (elsewhere) to finish writing to the "
            "data folder, at most 35 seconds...\n");
}

TEST_F(CliTest, UsersOfADamagedListAreListedAndTheDamageNamed) {
  ASSERT_EQ(Cli({"--data-dir", Dir(), "generate", "--users"}).status, 0);
  std::string bytes = testing::ReadFileBytes(folder / "User.List");
  bytes[500 + 59] = 9;
  testing::WriteFileBytes(folder / "User.List", bytes);
  const CliRun run = Cli({"--data-dir", Dir(), "users"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.find("2\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("3\tCasey\tDelgado"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("user number 2 has the access level 9"), std::string::npos) << run.err;
}

TEST_F(CliTest, StatsPrintsThePeriodsAsATableCsvOrJson) {
  ReportRecord jan = Sample();
  jan.ListStatus = 1;
  jan.CriminalViolations = "Theft, petty";
  jan.OccurredFrom = time::ToOleDate({2024, 1, 2, 8, 0, 0});
  Add(jan);  // values 1234.5000 and -0.0005
  ReportRecord mar = jan;
  mar.CriminalViolations = " THEFT,  petty";
  mar.DateEntered = time::ToOleDate({2024, 3, 31, 23, 0, 0});
  mar.OccurredFrom = 0;
  mar.Property1Value = 10000;
  mar.Property2Value = 0;
  Add(mar);

  const CliRun json = Cli({"--data-dir", Dir(), "stats", "--by", "month", "--split", "violation", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\n  \"periods\": [\n"
            "    {\"start\": \"2024-01-01\", \"count\": 1, \"value\": \"1234.50\", \"by\": {\"Theft, petty\": 1}},\n"
            "    {\"start\": \"2024-02-01\", \"count\": 0, \"value\": \"0.00\", \"by\": {\"Theft, petty\": 0}},\n"
            "    {\"start\": \"2024-03-01\", \"count\": 1, \"value\": \"1.00\", \"by\": {\"Theft, petty\": 1}}\n"
            "  ],\n  \"no_date\": 0\n}\n");

  const CliRun csv = Cli({"--data-dir", Dir(), "stats", "--by", "quarter", "--date", "occurred", "--format", "csv"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out, "start,count,value\r\n2024-01-01,1,1234.50\r\nno date,1,1.00\r\n");

  const CliRun table =
      Cli({"--data-dir", Dir(), "stats", "--by", "year", "--from", "2023-06-01", "--split", "violation"});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_EQ(table.out,
            "Start       Count     Value  Theft, petty\n"
            "2023-01-01      0      0.00             0\n"
            "2024-01-01      2  1,235.50             2\n");

  const CliRun empty = Cli({"--data-dir", Dir(), "stats", "--by", "week", "--list", "inactive", "--format", "json"});
  EXPECT_EQ(empty.out, "{\n  \"periods\": [],\n  \"no_date\": 0\n}\n");
}

TEST_F(CliTest, StatsRefusesBadOptionsAndTooManyPeriods) {
  Add(Sample());
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"stats"},
                                              {"stats", "--by", "fortnight"},
                                              {"stats", "--by", "day", "--from", "2024-02-30"},
                                              {"stats", "--by", "day", "--from", "01/05/2024"},
                                              {"stats", "--by", "day", "--split", "title"},
                                              {"stats", "--by", "day", "--from", "2024-02-01", "--to", "2024-01-31"},
                                              {"stats", "--by"},
                                              {"stats", "--by", "day", "--format", "xml"}}) {
    std::vector<std::string> args{"--data-dir", Dir()};
    args.insert(args.end(), bad.begin(), bad.end());
    EXPECT_EQ(Cli(args).status, 2) << args.back();
  }
  const CliRun wide = Cli({"--data-dir", Dir(), "stats", "--by", "day", "--from", "1975-01-01", "--to", "2024-12-31"});
  EXPECT_EQ(wide.status, 1);
  EXPECT_NE(wide.err.find("18,263 periods, more than a chart can show (5,000)"), std::string::npos) << wide.err;
}

TEST_F(CliTest, UsageErrorsAndHelp) {
  const CliRun help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: kestrova-cli"), std::string::npos);
  EXPECT_EQ(Cli({}).status, 2);
  EXPECT_EQ(Cli({"frobnicate"}).status, 2);
  EXPECT_EQ(Cli({"--data-dir"}).status, 2);
  EXPECT_EQ(Cli({"--bogus", "records"}).status, 2);
  EXPECT_EQ(Cli({"--data-dir", Dir(), "records", "extra"}).status, 2);
  const CliRun missing = Cli({"--data-dir", (folder / "nowhere").string(), "records"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
}

TEST_F(CliTest, GenerateWritesOnlyIntoAFolderWithoutReports) {
  const CliRun run = Cli({"--data-dir", Dir(), "generate", "--count", "30", "--seed", "9"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 30u * 20001u);
  EXPECT_EQ(Cli({"--data-dir", Dir(), "verify"}).status, 0);
  const CliRun again = Cli({"--data-dir", Dir(), "generate", "--count", "5"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 30u * 20001u);
  EXPECT_EQ(Cli({"--data-dir", Dir(), "generate"}).status, 2);
  EXPECT_EQ(Cli({"--data-dir", Dir(), "generate", "--count", "-4"}).status, 2);
}

TEST_F(CliTest, GenerateUsersMakesDemoUsersThatSignIn) {
  const CliRun run = Cli({"--data-dir", Dir(), "generate", "--users"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Avery Brennan\tFull Access\tkestrel4\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Morgan Park\tRead Only\tview1\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Data")) << "no reports without --count";

  auto all = users::ReadAllUsers(folder.path());
  ASSERT_TRUE(all.ok());
  ASSERT_EQ(all->size(), 4u);
  EXPECT_TRUE(users::PasswordMatches((*all)[0].Password, "kestrel4"));
  EXPECT_EQ((*all)[0].AccessLevel, 4);

  const CliRun list = Cli({"--data-dir", Dir(), "users"});
  ASSERT_EQ(list.status, 0);
  std::istringstream lines(list.out);
  std::string first;
  std::getline(lines, first);
  EXPECT_EQ(first.rfind("1\tAvery\tBrennan\tFull Access\t", 0), 0u) << first;
  EXPECT_EQ(first.size(), std::string("1\tAvery\tBrennan\tFull Access\t").size() + 10);
  EXPECT_EQ(list.out.find("kestrel4"), std::string::npos) << "never a password";

  const CliRun log = Cli({"--data-dir", Dir(), "log", "userlist"});
  ASSERT_EQ(log.status, 0);
  EXPECT_NE(log.out.find(" - 'Avery Brennan' added to the 'User List'\r\n"), std::string::npos) << log.out;
  EXPECT_EQ(Cli({"--data-dir", Dir(), "generate", "--users"}).status, 1) << "users exist already";
  EXPECT_EQ(Cli({"--data-dir", Dir(), "log", "nonsense"}).status, 2);
  const CliRun empty = Cli({"--data-dir", Dir(), "log", "search"});
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");
}

}  // namespace
}  // namespace kestrova::cli

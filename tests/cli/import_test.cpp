#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "cli/report_generator.h"
#include "core/files/change_counter.h"
#include "core/reports/data_file.h"
#include "core/time/ole_date.h"
#include "support/temp_folder.h"

namespace kestrova::cli {
namespace {

namespace fs = std::filesystem;
using reports::ReportRecord;
using testing::ReadFileBytes;
using testing::TempFolder;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(const fs::path& folder, std::vector<std::string> args) {
  args.insert(args.begin(), {"--data-dir", folder.string()});
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::size_t Lines(const std::string& text, const std::string& containing) {
  std::size_t n = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) n += line.find(containing) != std::string::npos;
  return n;
}

// Members the ordinary export cannot show as stored: leading blanks, a
// date with a fraction of a second, a byte beyond ASCII, a negative zero.
ReportRecord Unusual() {
  ReportRecord r;
  r.ControlNumber = time::ToOleDate({2023, 3, 4, 5, 6, 7}) + 0.3 / 86400;
  r.CaseNumber = "  23-0007";
  r.Title = "Caf\u00E9 \"window\", broken";
  r.Narrative = "First line\r\n  second line, indented\r\n";
  r.DateEntered = r.ControlNumber;
  r.ReportedOn = -0.0;
  r.Property1Value = -123456789;
  r.ListStatus = 2;
  r.ProgramVersion = 420;
  return r;
}

TEST(Import, TheExactExportImportsIntoAnEmptyFolderByteForByte) {
  TempFolder from, to, files;
  ASSERT_TRUE(GenerateReports(from.path(), 25, 3).ok());
  ASSERT_TRUE(reports::AppendReport(from.path(), Unusual()).ok());
  const CliRun exported = Cli(from.path(), {"export", "--format", "json", "--exact"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  Write(files / "exact.json", exported.out);

  const CliRun imported =
      Cli(to.path(), {"import", "--format", "json", (files / "exact.json").string(), "--by", "Ada"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "Added 26 reports as records 1 to 26.\n");
  EXPECT_EQ(ReadFileBytes(to / "Kestrova.Data"), ReadFileBytes(from / "Kestrova.Data"));
  const std::string log = ReadFileBytes(to / "DataRecords.Log");
  EXPECT_EQ(Lines(log, " added by Ada"), 26u) << log;
  EXPECT_EQ(*files::ReadChangeCounter(to.path()), 1u) << "one bump: open windows look once";
}

TEST(Import, TheOrdinaryJsonAndCsvImportAsExportShowsThem) {
  for (const std::string format : {"json", "csv"}) {
    TempFolder from, to, files;
    ASSERT_TRUE(GenerateReports(from.path(), 12, 5).ok());
    ASSERT_TRUE(reports::AppendReport(from.path(), Unusual()).ok());
    const std::string exported = Cli(from.path(), {"export", "--format", format}).out;
    // A byte-order mark, as a spreadsheet saves one, is taken too.
    Write(files / "export", (format == "csv" ? "\xEF\xBB\xBF" : "") + exported);
    const CliRun imported = Cli(to.path(), {"import", "--format", format, (files / "export").string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(Cli(to.path(), {"export", "--format", format}).out, exported) << format;
    EXPECT_EQ(Lines(ReadFileBytes(to / "DataRecords.Log"), "kestrova-cli"), 13u);
  }
}

TEST(Import, AnythingWrongRefusesTheWholeFileAndWritesNothing) {
  TempFolder folder, files;
  ASSERT_TRUE(GenerateReports(folder.path(), 3, 9).ok());
  const std::string json = Cli(folder.path(), {"export", "--format", "json"}).out;
  const std::string csv = Cli(folder.path(), {"export", "--format", "csv"}).out;
  TempFolder other;
  ASSERT_TRUE(GenerateReports(other.path(), 3, 10).ok());
  const std::string fresh = Cli(other.path(), {"export", "--format", "json"}).out;
  const std::string data = ReadFileBytes(folder / "Kestrova.Data");
  const auto replaced = [](std::string text, const std::string& what, const std::string& with) {
    const auto at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return at == std::string::npos ? text : text.replace(at, what.size(), with);
  };
  const std::string firstCase = "\"CaseNumber\": \"";
  struct Case {
    std::string format, bytes, named;
  };
  const std::vector<Case> cases = {
      {"json", "[\n  {\"CaseNumber\": \"1\",\n  }\n]", "line 3"},
      {"json", replaced(fresh, firstCase, firstCase + std::string(20, '9')), "report 1: CaseNumber is 2"},
      {"json", replaced(fresh, firstCase, firstCase + "\u4E2D"), "report 1: CaseNumber holds characters"},
      {"json", replaced(fresh, "\"ProgramVersion\": 4", "\"ProgramVersion\": 3"), "report 1: ProgramVersion is 3"},
      {"json", replaced(fresh, "\"ListStatus\": ", "\"ListStatus\": 7"), "report 1: ListStatus is 7"},
      {"json", replaced(fresh, "\"Narrative\"", "\"Narative\""), "report 1: it has a member \"Narative\""},
      {"json", json, "report 1: a report with its ControlNumber and DateEntered is on file already"},
      {"json", replaced(fresh, "\n]", "," + fresh.substr(1)),
       "report 4: it has the ControlNumber and DateEntered of report 1"},
      {"csv", replaced(csv, "CaseNumber,", ""), "line 1: the header has no column CaseNumber"},
      {"csv", csv + "\"open quote", "a quoted field is not closed"},
      {"csv", csv + std::string(200000, 'x') + "\r\n", "a field longer than 64064 bytes"},
      {"csv", replaced(csv, "\r\n", "\r\n1,2\r\n"), "report 1 (line 2): it has 2 fields"},
  };
  for (const Case& c : cases) {
    Write(files / "in", c.bytes);
    const CliRun run = Cli(folder.path(), {"import", "--format", c.format, (files / "in").string()});
    EXPECT_EQ(run.status, 1) << c.named;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Nothing was added"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), data) << c.named;
    EXPECT_FALSE(fs::exists(folder / "DataRecords.Log")) << c.named;
  }
}

}  // namespace
}  // namespace kestrova::cli

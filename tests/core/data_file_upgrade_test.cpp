#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/reports/data_file.h"
#include "core/startup/data_file_upgrade.h"
#include "support/temp_folder.h"

namespace kestrova::startup {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

const time::DateTime kNow{2025, 3, 1, 9, 8, 7};

void Put(std::string& rec, std::size_t offset, const std::string& text) { rec.replace(offset, text.size(), text); }
template <class T>
void PutValue(std::string& rec, std::size_t offset, T v) {
  std::memcpy(rec.data() + offset, &v, sizeof v);
}

// A version-3 record built byte by byte at the documented offsets.
std::string Version3Record(const std::string& caseNumber) {
  std::string rec(kVersion3RecordSize, ' ');
  Put(rec, 0, caseNumber);
  Put(rec, 15, "Old title");
  Put(rec, 65, "PC 459");
  Put(rec, 115, "Sgt. Old");
  PutValue(rec, 165, 36526.5);  // 01/01/2000 12:00
  PutValue(rec, 173, 36525.0);
  PutValue(rec, 181, 0.0);
  Put(rec, 189, "Main St");
  PutValue(rec, 239, 36526.25);
  Put(rec, 247, "By phone");
  Put(rec, 297, "Ann Person1");
  Put(rec, 337, "Victim");
  Put(rec, 352, "1 Elm St");
  Put(rec, 507, "Cy Person3");
  Put(rec, 612, "1999 Ford Taurus");
  Put(rec, 652, "Stolen");
  Put(rec, 667, "blue");
  Put(rec, 822, "Vehicle three");
  Put(rec, 927, "Laptop");
  Put(rec, 967, "Stolen");
  Put(rec, 982, "Serial 123");
  PutValue<std::int64_t>(rec, 1032, 12345000);
  Put(rec, 1153, "Item three");
  PutValue<std::int64_t>(rec, 1258, 50000);
  Put(rec, 1266, "The old narrative.");
  PutValue<std::int16_t>(rec, 14998, 314);
  return rec;
}

std::string Version2Record(const std::string& caseNumber) {
  std::string rec(kVersion2RecordSize, ' ');
  Put(rec, 0, caseNumber);
  Put(rec, 15, "V2 title");
  PutValue(rec, 165, 35000.0);
  PutValue(rec, 173, 0.0);
  PutValue(rec, 181, 0.0);
  PutValue(rec, 239, 0.0);
  Put(rec, 402, "Bob Person2");
  Put(rec, 612, std::string(35, 'D'));  // a full 35-character description
  Put(rec, 647, "Suspect");
  Put(rec, 662, "red");
  Put(rec, 812, "Vehicle three");
  Put(rec, 912, "Version two narrative.");
  return rec;
}

TEST(DataFileUpgrade, RecognisesEachLayout) {
  TempFolder folder;
  EXPECT_EQ(*ClassifyDataFile(folder.path()), DataFileState::Missing);
  WriteFileBytes(folder / "Kestrova.Data", "");
  EXPECT_EQ(*ClassifyDataFile(folder.path()), DataFileState::Empty);
  WriteFileBytes(folder / "Kestrova.Data", Version3Record("1") + Version3Record("2"));
  EXPECT_EQ(*ClassifyDataFile(folder.path()), DataFileState::Version3);
  WriteFileBytes(folder / "Kestrova.Data", Version2Record("1") + Version2Record("2") + Version2Record("3"));
  EXPECT_EQ(*ClassifyDataFile(folder.path()), DataFileState::Version2) << "30000 bytes, no 314";
  WriteFileBytes(folder / "Kestrova.Data", std::string(12345, 'x'));
  EXPECT_EQ(*ClassifyDataFile(folder.path()), DataFileState::Unknown);
  fs::remove(folder / "Kestrova.Data");
  reports::ReportRecord current;
  current.ProgramVersion = 414;
  ASSERT_TRUE(reports::AppendReport(folder.path(), current).ok());
  EXPECT_EQ(*ClassifyDataFile(folder.path()), DataFileState::Current);
}

// An empty data file goes, under the lock; one with reports never does.
TEST(DataFileUpgrade, OnlyAnEmptyDataFileIsRemoved) {
  TempFolder folder;
  EXPECT_FALSE(*RemoveEmptyDataFile(folder.path()));
  WriteFileBytes(folder / "Kestrova.Data", "");
  EXPECT_TRUE(*RemoveEmptyDataFile(folder.path()));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Data"));
  WriteFileBytes(folder / "Kestrova.Data", std::string(20001, 'r'));
  EXPECT_FALSE(*RemoveEmptyDataFile(folder.path()));
  EXPECT_TRUE(fs::exists(folder / "Kestrova.Data"));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
}

TEST(DataFileUpgrade, AVersion3RecordMapsMemberByMember) {
  const reports::ReportRecord r = ConvertOldRecord(Version3Record("89-17").data(), DataFileState::Version3);
  EXPECT_EQ(r.ControlNumber, 0);
  EXPECT_EQ(r.CaseNumber, "89-17");
  EXPECT_EQ(r.Title, "Old title");
  EXPECT_EQ(r.CriminalViolations, "PC 459");
  EXPECT_EQ(r.ReportMadeBy, "Sgt. Old");
  EXPECT_EQ(r.DateEntered, 36526.5);
  EXPECT_EQ(r.OccurredFrom, 36525.0);
  EXPECT_EQ(r.LocationOccurred, "Main St");
  EXPECT_EQ(r.ReportedOn, 36526.25);
  EXPECT_EQ(r.LocationReported, "By phone");
  EXPECT_EQ(r.ReportedByName, "");
  EXPECT_EQ(r.Person1Name, "Ann Person1");
  EXPECT_EQ(r.Person1Context, "Victim");
  EXPECT_EQ(r.Person1Contact, "1 Elm St");
  EXPECT_EQ(r.Person3Name, "Cy Person3");
  EXPECT_EQ(r.Vehicle1Description, "1999 Ford Taurus");
  EXPECT_EQ(r.Vehicle1Context, "Stolen");
  EXPECT_EQ(r.Vehicle1Details, "blue");
  EXPECT_EQ(r.Vehicle3Description, "Vehicle three");
  EXPECT_EQ(r.Property1Item, "Laptop");
  EXPECT_EQ(r.Property1Details, "Serial 123");
  EXPECT_EQ(r.Property1Value, 12345000);
  EXPECT_EQ(r.Property3Item, "Item three");
  EXPECT_EQ(r.Property3Value, 50000);
  EXPECT_EQ(r.Narrative, "The old narrative.");
  EXPECT_EQ(r.CaseNotes, "");
  EXPECT_EQ(r.Picture1, "");
  EXPECT_EQ(r.ListStatus, 1);
  EXPECT_EQ(r.ProgramVersion, 414);
}

TEST(DataFileUpgrade, AVersion2RecordHasNoPropertyAndNarrowerVehicles) {
  const reports::ReportRecord r = ConvertOldRecord(Version2Record("7").data(), DataFileState::Version2);
  EXPECT_EQ(r.CaseNumber, "7");
  EXPECT_EQ(r.Title, "V2 title");
  EXPECT_EQ(r.Person2Name, "Bob Person2");
  EXPECT_EQ(r.Vehicle1Description, std::string(35, 'D'));
  EXPECT_EQ(r.Vehicle1Context, "Suspect");
  EXPECT_EQ(r.Vehicle1Details, "red");
  EXPECT_EQ(r.Vehicle3Description, "Vehicle three");
  EXPECT_EQ(r.Property1Item, "");
  EXPECT_EQ(r.Property1Value, 0);
  EXPECT_EQ(r.Narrative, "Version two narrative.");
  EXPECT_EQ(r.ListStatus, 1);
}

TEST(DataFileUpgrade, ConvertingKeepsTheOriginalAsOld) {
  TempFolder folder;
  const std::string original = Version2Record("1") + Version2Record("2") + Version2Record("3");
  WriteFileBytes(folder / "Kestrova.Data", original);
  WriteFileBytes(folder / "Kestrova.Old", "an older copy");
  auto converted = ConvertDataFile(folder.path(), DataFileState::Version2, kNow);
  ASSERT_TRUE(converted.ok()) << converted.message();
  EXPECT_EQ(converted->converted, 3);
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Old"), original);
  EXPECT_EQ(converted->earlierCopyKeptAs, "Kestrova.Old-20250301090807");
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Old-20250301090807"), "an older copy") << "an earlier copy is kept";
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Data"), 3u * 20001u);
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
  EXPECT_EQ(*ClassifyDataFile(folder.path()), DataFileState::Current);
  reports::DataFile data(folder.path());
  ASSERT_TRUE(data.OpenDataFile(reports::DataFileAccess::Read).ok());
  EXPECT_EQ(data.ReadRecord(3)->CaseNumber, "3");
}

TEST(DataFileUpgrade, APartialLastRecordIsConvertedToo) {
  TempFolder folder;
  const std::string v3 = Version3Record("1") + Version3Record("2").substr(0, 9000);
  // (the second record stops inside its narrative; 24000 / 15000 rounds to 2)
  WriteFileBytes(folder / "Kestrova.Data", v3);
  auto converted = ConvertDataFile(folder.path(), DataFileState::Version3, kNow);
  ASSERT_TRUE(converted.ok());
  EXPECT_EQ(converted->converted, 2);
  EXPECT_EQ(converted->earlierCopyKeptAs, "");  // 24000 / 15000 rounds to 2
  reports::DataFile data(folder.path());
  ASSERT_TRUE(data.OpenDataFile(reports::DataFileAccess::Read).ok());
  const auto second = data.ReadRecord(2);
  EXPECT_EQ(second->CaseNumber, "2");
  EXPECT_EQ(second->Narrative, "The old narrative.") << "the missing part reads as empty text";
}

TEST(DataFileUpgrade, AFailedConversionLeavesTheOriginal) {
  TempFolder folder;
  const std::string original = Version3Record("1");
  WriteFileBytes(folder / "Kestrova.Data", original);
  fs::create_directory(folder / "TempFile.$$$");
  EXPECT_FALSE(ConvertDataFile(folder.path(), DataFileState::Version3, kNow).ok());
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Data"), original);
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Old"));
}

TEST(DataFileUpgrade, StartingOverSetsTheFileAside) {
  TempFolder folder;
  WriteFileBytes(folder / "Kestrova.Data", Version3Record("1"));
  ASSERT_TRUE(StartOverDataFile(folder.path(), kNow).ok());
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Data"));
  EXPECT_EQ(fs::file_size(folder / "Kestrova.Old"), kVersion3RecordSize);
  // A second fresh start keeps the first copy, and a third in the same
  // second does not take the second's name.
  int second = 1;
  for (const char* earlier : {"Kestrova.Old-20250301090807", "Kestrova.Old-20250301090808"}) {
    WriteFileBytes(folder / "Kestrova.Data", Version3Record(std::to_string(++second)));
    auto moved = StartOverDataFile(folder.path(), kNow);
    ASSERT_TRUE(moved.ok()) << moved.message();
    EXPECT_EQ(moved->earlierCopyKeptAs, earlier);
  }
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Old-20250301090807").substr(0, 1), "1");
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Old-20250301090808").substr(0, 1), "2");
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Old").substr(0, 1), "3");
}

TEST(DataFileUpgrade, TheOldestFileIsDeletedWhenEmptyAndElseSetAside) {
  TempFolder folder;
  EXPECT_TRUE(*DeleteEmptyOldestDataFile(folder.path()));
  WriteFileBytes(folder / "Kestrova.Dat", "");
  EXPECT_TRUE(*DeleteEmptyOldestDataFile(folder.path()));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Dat"));
  WriteFileBytes(folder / "Kestrova.Dat", "old");
  EXPECT_FALSE(*DeleteEmptyOldestDataFile(folder.path()));
  ASSERT_EQ(*FreeSetAsideName(folder.path(), kOldestSetAsideName, kNow), "Kestrova.Dat.Old");
  ASSERT_TRUE(SetAsideOldestDataFile(folder.path(), "Kestrova.Dat.Old").ok());
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Dat.Old"), "old");
  EXPECT_TRUE(*DeleteEmptyOldestDataFile(folder.path()));
  // A second one never replaces the first.
  WriteFileBytes(folder / "Kestrova.Dat", "older still");
  EXPECT_FALSE(SetAsideOldestDataFile(folder.path(), "Kestrova.Dat.Old").ok());
  const auto name = FreeSetAsideName(folder.path(), kOldestSetAsideName, kNow);
  ASSERT_EQ(*name, "Kestrova.Dat.Old-20250301090807");
  ASSERT_TRUE(SetAsideOldestDataFile(folder.path(), *name).ok());
  EXPECT_EQ(ReadFileBytes(folder / "Kestrova.Dat.Old"), "old");
  EXPECT_EQ(ReadFileBytes(folder / *name), "older still");
}

}  // namespace
}  // namespace kestrova::startup

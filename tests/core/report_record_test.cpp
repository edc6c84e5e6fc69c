#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/reports/report_fields.h"
#include "core/reports/report_record.h"

namespace kestrova::reports {
namespace {

// The record layout as documented, typed out independently of the code.
struct Layout {
  const char* name;
  std::size_t offset;
  std::size_t width;
  char kind;  // 'd' date, 't' text, 'c' currency, 'b' byte, 's' short
};

constexpr Layout kLayout[] = {
    {"ControlNumber", 0, 8, 'd'},        {"CaseNumber", 8, 15, 't'},          {"Title", 23, 50, 't'},
    {"CriminalViolations", 73, 50, 't'}, {"ReportMadeBy", 123, 50, 't'},      {"DateEntered", 173, 8, 'd'},
    {"OccurredFrom", 181, 8, 'd'},       {"OccurredTo", 189, 8, 'd'},         {"LocationOccurred", 197, 50, 't'},
    {"ReportedOn", 247, 8, 'd'},         {"LocationReported", 255, 50, 't'},  {"ReportedByName", 305, 40, 't'},
    {"ReportedByContext", 345, 15, 't'}, {"ReportedByContact", 360, 50, 't'}, {"Person1Name", 410, 40, 't'},
    {"Person1Context", 450, 15, 't'},    {"Person1Contact", 465, 50, 't'},    {"Person2Name", 515, 40, 't'},
    {"Person2Context", 555, 15, 't'},    {"Person2Contact", 570, 50, 't'},    {"Person3Name", 620, 40, 't'},
    {"Person3Context", 660, 15, 't'},    {"Person3Contact", 675, 50, 't'},    {"Vehicle1Description", 725, 40, 't'},
    {"Vehicle1Context", 765, 15, 't'},   {"Vehicle1Details", 780, 50, 't'},   {"Vehicle2Description", 830, 40, 't'},
    {"Vehicle2Context", 870, 15, 't'},   {"Vehicle2Details", 885, 50, 't'},   {"Vehicle3Description", 935, 40, 't'},
    {"Vehicle3Context", 975, 15, 't'},   {"Vehicle3Details", 990, 50, 't'},   {"Property1Item", 1040, 40, 't'},
    {"Property1Context", 1080, 15, 't'}, {"Property1Details", 1095, 50, 't'}, {"Property1Value", 1145, 8, 'c'},
    {"Property2Item", 1153, 40, 't'},    {"Property2Context", 1193, 15, 't'}, {"Property2Details", 1208, 50, 't'},
    {"Property2Value", 1258, 8, 'c'},    {"Property3Item", 1266, 40, 't'},    {"Property3Context", 1306, 15, 't'},
    {"Property3Details", 1321, 50, 't'}, {"Property3Value", 1371, 8, 'c'},    {"Picture1", 1379, 150, 't'},
    {"Picture2", 1529, 150, 't'},        {"Picture3", 1679, 150, 't'},        {"Narrative", 1829, 16000, 't'},
    {"CaseNotes", 17829, 2169, 't'},     {"ListStatus", 19998, 1, 'b'},       {"ProgramVersion", 19999, 2, 's'},
};

// A record whose every member holds a value of its own: text i is the
// letter 'A' + i repeated, date i is 40000 + i + 0.5, value i is i * 10000 + 1.
ReportRecord Distinct() {
  ReportRecord r;
  int i = 0;
  for (const ReportMember& m : ReportMembers()) {
    switch (m.type) {
      case MemberType::Text:
        r.*m.text = std::string(std::min<std::size_t>(m.width, 5), static_cast<char>('A' + i % 26));
        break;
      case MemberType::Date: r.*m.date = 40000 + i + 0.5; break;
      case MemberType::Currency: r.*m.currency = i * 10000 + 1; break;
      case MemberType::Byte: r.*m.byte = 2; break;
      case MemberType::Short: r.*m.shortValue = 414; break;
    }
    ++i;
  }
  return r;
}

template <class T>
T At(const std::vector<char>& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

TEST(ReportRecord, TheMemberAndFieldTablesAgree) {
  std::size_t total = 0;
  int shown = 0;
  for (const ReportMember& m : ReportMembers()) {
    EXPECT_EQ(m.offset, total) << m.name;
    total += m.width;
    if (m.field < 0) continue;
    ++shown;
    EXPECT_EQ(Field(m.field).member, m.name) << "field " << m.field;
  }
  EXPECT_EQ(total, 20001u);
  EXPECT_EQ(shown, kFieldCount) << "every field shows one member";
  EXPECT_EQ(SpanOf("Narrative").offset, 1829u);
  EXPECT_EQ(FirstFieldOfTab(4), 32);
  EXPECT_EQ(FirstFieldOfTab(5), 0) << "the picture tab has no field";
}

TEST(ReportRecord, EveryMemberSitsAtItsDocumentedOffset) {
  ASSERT_EQ(std::size(kLayout), kReportMemberCount);
  const ReportRecord r = Distinct();
  std::vector<char> bytes(kReportRecordSize, '\x7F');
  EncodeReportRecord(r, bytes.data());
  std::size_t end = 0;
  for (std::size_t i = 0; i < std::size(kLayout); ++i) {
    const Layout& l = kLayout[i];
    SCOPED_TRACE(l.name);
    EXPECT_EQ(ReportMembers()[i].name, l.name);
    EXPECT_EQ(l.offset, end) << "members follow each other without gaps";
    end = l.offset + l.width;
    switch (l.kind) {
      case 't': {
        const std::size_t n = std::min<std::size_t>(l.width, 5);
        const std::string expected = std::string(n, static_cast<char>('A' + i % 26)) + std::string(l.width - n, ' ');
        EXPECT_EQ(std::string(bytes.data() + l.offset, l.width), expected);
        break;
      }
      case 'd': EXPECT_EQ(At<double>(bytes, l.offset), 40000 + static_cast<double>(i) + 0.5); break;
      case 'c': EXPECT_EQ(At<std::int64_t>(bytes, l.offset), static_cast<std::int64_t>(i) * 10000 + 1); break;
      case 'b': EXPECT_EQ(static_cast<unsigned char>(bytes[l.offset]), 2u); break;
      case 's': EXPECT_EQ(At<std::int16_t>(bytes, l.offset), 414); break;
    }
  }
  EXPECT_EQ(end, kReportRecordSize);
  EXPECT_EQ(DecodeReportRecord(bytes.data()), r);
}

TEST(ReportRecord, NumbersAreLittleEndian) {
  ReportRecord r;
  r.DateEntered = 45296.5;      // 0x40E61E1000000000
  r.Property1Value = 12345000;  // 0x0000000000BC5EA8
  r.ProgramVersion = 414;       // 0x019E
  r.ListStatus = 1;
  std::vector<char> bytes(kReportRecordSize);
  EncodeReportRecord(r, bytes.data());
  const unsigned char date[] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x1E, 0xE6, 0x40};
  EXPECT_EQ(std::memcmp(bytes.data() + 173, date, 8), 0);
  const unsigned char value[] = {0xA8, 0x5E, 0xBC, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(std::memcmp(bytes.data() + 1145, value, 8), 0);
  EXPECT_EQ(static_cast<unsigned char>(bytes[19998]), 0x01);
  EXPECT_EQ(static_cast<unsigned char>(bytes[19999]), 0x9E);
  EXPECT_EQ(static_cast<unsigned char>(bytes[20000]), 0x01);
}

TEST(ReportRecord, LongTextIsCutAndAccentsTakeOneByte) {
  ReportRecord r;
  r.Title = std::string(60, 'x');
  r.CaseNumber = "24-\u00E9\u00E9";
  r.Narrative = std::string(17000, 'n');
  std::vector<char> bytes(kReportRecordSize);
  EncodeReportRecord(r, bytes.data());
  EXPECT_EQ(std::string(bytes.data() + 23, 50), std::string(50, 'x'));
  EXPECT_EQ(bytes[73], ' ');  // the next member is untouched by the cut
  EXPECT_EQ(std::string(bytes.data() + 8, 6), "24-\xE9\xE9 ");
  const ReportRecord back = DecodeReportRecord(bytes.data());
  EXPECT_EQ(back.Title, std::string(50, 'x'));
  EXPECT_EQ(back.CaseNumber, "24-\u00E9\u00E9");
  EXPECT_EQ(back.Narrative.size(), 16000u);
  EXPECT_EQ(back.CaseNotes, "");
}

TEST(ReportRecord, AnyStoredBytesComeBackUnchanged) {
  std::vector<char> bytes(kReportRecordSize);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 131 + 7) % 256);
  std::vector<char> again(kReportRecordSize);
  EncodeReportRecord(DecodeReportRecord(bytes.data()), again.data());
  EXPECT_EQ(again, bytes);
}

TEST(ReportRecord, DecodingIntoAUsedRecordLeavesNothingOfTheOldOne) {
  ReportRecord full;
  full.Narrative = std::string(16000, 'n');
  full.Title = "An old title";
  full.Property1Value = 5;
  ReportRecord small;
  small.CaseNumber = "2";
  std::vector<char> bytes(kReportRecordSize);
  EncodeReportRecord(small, bytes.data());
  ReportRecord reused = full;
  DecodeReportRecord(bytes.data(), reused);
  EXPECT_EQ(reused, small);
}

TEST(ReportRecord, QuickLooksAtAStoredRecord) {
  ReportRecord r;
  r.CaseNumber = "$Killed$";
  r.ControlNumber = 45000.25;
  r.ListStatus = 2;
  std::vector<char> bytes(kReportRecordSize);
  EncodeReportRecord(r, bytes.data());
  EXPECT_TRUE(IsKilled(bytes.data()));
  EXPECT_EQ(StoredCaseNumber(bytes.data()), "$Killed$");
  EXPECT_EQ(StoredListStatus(bytes.data()), 2);
  EXPECT_EQ(StoredControlNumber(bytes.data()), 45000.25);
  std::memcpy(bytes.data() + 8, "  $Killed$     ", 15);
  EXPECT_TRUE(IsKilled(bytes.data()));
  std::memcpy(bytes.data() + 8, "$Killed$x      ", 15);
  EXPECT_FALSE(IsKilled(bytes.data()));
}

TEST(ReportRecord, VersionFourFourteenWritesFourHundredFourteen) { EXPECT_EQ(CurrentProgramVersion(), 414); }

}  // namespace
}  // namespace kestrova::reports

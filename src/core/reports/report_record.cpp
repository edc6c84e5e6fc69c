#include "core/reports/report_record.h"

#include <bit>
#include <cstring>

#include "core/text/fixed_text.h"

namespace kestrova::reports {
namespace {

static_assert(std::endian::native == std::endian::little, "record encoding assumes a little-endian machine");

constexpr MemberSpan kCaseNumber = SpanOf("CaseNumber");
constexpr MemberSpan kListStatus = SpanOf("ListStatus");
constexpr MemberSpan kProgramVersion = SpanOf("ProgramVersion");

template <class T>
T Load(const char* src) {
  T value;
  std::memcpy(&value, src, sizeof value);
  return value;
}

template <class T>
void Store(char* dest, T value) {
  std::memcpy(dest, &value, sizeof value);
}

}  // namespace

std::int16_t CurrentProgramVersion() {
  return static_cast<std::int16_t>(
      std::stoi(std::to_string(KESTROVA_VERSION_MAJOR) + std::to_string(KESTROVA_VERSION_MINOR)));
}

const std::array<ReportMember, kReportMemberCount>& ReportMembers() { return kReportMembers; }

void EncodeReportRecord(const ReportRecord& record, char* dest) {
  for (const ReportMember& m : kReportMembers) {
    char* at = dest + m.offset;
    switch (m.type) {
      case MemberType::Date: Store(at, record.*m.date); break;
      case MemberType::Text: text::EncodeFixedText(record.*m.text, at, m.width); break;
      case MemberType::Currency: Store(at, record.*m.currency); break;
      case MemberType::Byte: Store(at, record.*m.byte); break;
      case MemberType::Short: Store(at, record.*m.shortValue); break;
    }
  }
}

ReportRecord DecodeReportRecord(const char* src) {
  ReportRecord record;
  DecodeReportRecord(src, record);
  return record;
}

void DecodeReportRecord(const char* src, ReportRecord& record) {
  for (const ReportMember& m : kReportMembers) {
    const char* at = src + m.offset;
    switch (m.type) {
      case MemberType::Date: record.*m.date = Load<double>(at); break;
      case MemberType::Text: text::DecodeFixedText(at, m.width, record.*m.text); break;
      case MemberType::Currency: record.*m.currency = Load<std::int64_t>(at); break;
      case MemberType::Byte: record.*m.byte = Load<std::uint8_t>(at); break;
      case MemberType::Short: record.*m.shortValue = Load<std::int16_t>(at); break;
    }
  }
}

std::string StoredCaseNumber(const char* src) {
  return text::ReadFixedText(src + kCaseNumber.offset, kCaseNumber.width);
}

std::uint8_t StoredListStatus(const char* src) { return Load<std::uint8_t>(src + kListStatus.offset); }

double StoredControlNumber(const char* src) { return Load<double>(src); }

std::int16_t StoredProgramVersion(const char* src) { return Load<std::int16_t>(src + kProgramVersion.offset); }

bool IsKilled(const char* src) {
  return text::Trim(std::string_view(src + kCaseNumber.offset, kCaseNumber.width)) == kKilledMark;
}

}  // namespace kestrova::reports

// Any 20001 bytes are a report record: decoding never fails, and encoding
// what was decoded gives back every byte.
#include <cstring>
#include <string>

#include "core/logs/activity_log.h"
#include "core/reports/report_record.h"
#include "core/time/date_format.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), std::min(size, reports::kReportRecordSize));
  bytes.resize(reports::kReportRecordSize, ' ');
  const reports::ReportRecord record = reports::DecodeReportRecord(bytes.data());
  reports::RecordBytes again;
  reports::EncodeReportRecord(record, again.data());
  FUZZ_REQUIRE(std::memcmp(again.data(), bytes.data(), bytes.size()) == 0);
  (void)reports::StoredCaseNumber(bytes.data());
  (void)reports::IsKilled(bytes.data());
  for (const auto& m : reports::ReportMembers()) {
    if (m.type == reports::MemberType::Date) (void)time::FormatOleDate(record.*m.date, time::kDateTimeFormat);
  }
  (void)logs::ReportIdentity(record.ControlNumber, record.CaseNumber);
  return 0;
}

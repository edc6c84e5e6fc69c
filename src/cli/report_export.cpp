#include "cli/report_export.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/text/csv.h"
#include "core/text/currency.h"
#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "core/time/ole_date.h"

namespace kestrova::cli {
namespace {

using reports::MemberType;

std::string DateText(double value) {
  if (value == 0) return {};
  if (const auto dt = time::FromOleDate(value)) return time::ToIsoString(*dt);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "invalid date %.17g", value);
  return buffer;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
  out.push_back('"');
  std::size_t from = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(utf8.data() + from, i - from);
    from = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
        out += buffer;
      }
    }
  }
  out.append(utf8.data() + from, utf8.size() - from);
  out.push_back('"');
}

std::string JsonString(std::string_view utf8) {
  std::string out;
  AppendJsonString(out, utf8);
  return out;
}

std::string MemberText(const reports::ReportRecord& record, const reports::ReportMember& m) {
  switch (m.type) {
    case MemberType::Text: return std::string(text::Trim(record.*m.text));
    case MemberType::Date: return DateText(record.*m.date);
    case MemberType::Currency: return text::CurrencyToDecimal(record.*m.currency);
    case MemberType::Byte: return std::to_string(record.*m.byte);
    case MemberType::Short: return std::to_string(record.*m.shortValue);
  }
  return {};
}

void AppendStoredReportJson(std::string& out, const char* stored, std::string_view indent, bool exact,
                            std::string& scratch) {
  out += "{\n";
  const auto& members = reports::ReportMembers();
  for (std::size_t i = 0; i < members.size(); ++i) {
    const auto& m = members[i];
    const char* at = stored + m.offset;
    out += indent;
    out += "  \"";
    out += m.name;
    out += "\": ";
    switch (m.type) {
      case MemberType::Text:
        // Stored blanks pad a text; the ordinary form trims leading ones too.
        scratch.clear();
        text::Win1252ToUtf8(exact ? std::string_view(at, text::EndOfText(at, m.width)) : text::TrimStored(at, m.width),
                            scratch);
        AppendJsonString(out, scratch);
        break;
      case MemberType::Date: {
        double value = 0;
        std::memcpy(&value, at, sizeof value);
        if (exact && std::isfinite(value)) {
          char buffer[32];
          std::snprintf(buffer, sizeof buffer, "%.17g", value);
          out += buffer;
          // Written as a fraction, so that a reader keeps the sign of -0.
          if (std::string_view(buffer).find_first_of(".e") == std::string_view::npos) out += ".0";
        } else if (value == 0) {
          out += "null";
        } else {
          AppendJsonString(out, DateText(value));
        }
        break;
      }
      case MemberType::Currency: {
        std::int64_t value = 0;
        std::memcpy(&value, at, sizeof value);
        AppendJsonString(out, text::CurrencyToDecimal(value));
        break;
      }
      case MemberType::Byte: out += std::to_string(static_cast<std::uint8_t>(*at)); break;
      case MemberType::Short: {
        std::int16_t value = 0;
        std::memcpy(&value, at, sizeof value);
        out += std::to_string(value);
        break;
      }
    }
    out += i + 1 < members.size() ? ",\n" : "\n";
  }
  out += indent;
  out += "}";
}

void WriteReportJson(std::ostream& out, const reports::ReportRecord& record, std::string_view indent, bool exact) {
  reports::RecordBytes stored;
  reports::EncodeReportRecord(record, stored.data());
  std::string json, scratch;
  AppendStoredReportJson(json, stored.data(), indent, exact, scratch);
  out << json;
}

std::string CsvField(std::string_view text) { return text::CsvField(text); }

void WriteCsvHeader(std::ostream& out) {
  const auto& members = reports::ReportMembers();
  for (std::size_t i = 0; i < members.size(); ++i) {
    out << (i ? "," : "") << members[i].name;
  }
  out << "\r\n";
}

void WriteReportCsv(std::ostream& out, const reports::ReportRecord& record) {
  const auto& members = reports::ReportMembers();
  for (std::size_t i = 0; i < members.size(); ++i) {
    out << (i ? "," : "") << CsvField(MemberText(record, members[i]));
  }
  out << "\r\n";
}

}  // namespace kestrova::cli

#include "cli/report_export.h"

#include <cmath>
#include <cstdio>

#include "core/text/csv.h"
#include "core/text/currency.h"
#include "core/text/fixed_text.h"
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

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
          out += buffer;
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
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

void WriteReportJson(std::ostream& out, const reports::ReportRecord& record, std::string_view indent) {
  out << "{\n";
  const auto& members = reports::ReportMembers();
  for (std::size_t i = 0; i < members.size(); ++i) {
    const auto& m = members[i];
    out << indent << "  " << JsonString(m.name) << ": ";
    if (m.type == MemberType::Byte || m.type == MemberType::Short) {
      out << MemberText(record, m);
    } else if (m.type == MemberType::Date && record.*m.date == 0) {
      out << "null";
    } else {
      out << JsonString(MemberText(record, m));
    }
    out << (i + 1 < members.size() ? ",\n" : "\n");
  }
  out << indent << "}";
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

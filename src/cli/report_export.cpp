#include "cli/report_export.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// "YYYY-MM-DDTHH:MM:SS", as time::ToIsoString writes it, without printf.
void AppendIsoDate(std::string& out, const time::DateTime& dt) {
  const auto fits = [](int v, int below) { return v >= 0 && v < below; };
  if (!fits(dt.year, 10000) || !fits(dt.month, 100) || !fits(dt.day, 100) || !fits(dt.hour, 100) ||
      !fits(dt.minute, 100) || !fits(dt.second, 100)) {
    out += time::ToIsoString(dt);
    return;
  }
  const auto two = [](int v, char* at) {
    at[0] = static_cast<char>('0' + v / 10);
    at[1] = static_cast<char>('0' + v % 10);
  };
  char text[19] = {0, 0, 0, 0, '-', 0, 0, '-', 0, 0, 'T', 0, 0, ':', 0, 0, ':', 0, 0};
  two(dt.year / 100, text);
  two(dt.year % 100, text + 2);
  two(dt.month, text + 5);
  two(dt.day, text + 8);
  two(dt.hour, text + 11);
  two(dt.minute, text + 14);
  two(dt.second, text + 17);
  out.append(text, sizeof text);
}

// Where the run of bytes from `p` that a JSON string holds as they are
// ends: at the first control character, quote, backslash or (in a stored
// text, which needs decoding) byte from 0x80.
template <bool kStopAtHigh>
const char* PlainRun(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(0x20);
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i zero = _mm_setzero_si128();
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Compared as signed bytes, 0x80 and up are below a blank too.
    __m128i stop =
        kStopAtHigh ? _mm_cmplt_epi8(v, space) : _mm_andnot_si128(_mm_cmplt_epi8(v, zero), _mm_cmplt_epi8(v, space));
    stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)));
    if (const int mask = _mm_movemask_epi8(stop)) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  for (; p < end; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == '"' || c == '\\' || (kStopAtHigh && c >= 0x80)) break;
  }
  return p;
}

void AppendEscape(std::string& out, unsigned char c) {
  switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default: {
      constexpr char kHex[] = "0123456789abcdef";
      const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
      out.append(escape, sizeof escape);
    }
  }
}

template <bool kFromWin1252>
void AppendEscaped(std::string& out, std::string_view s) {
  out.push_back('"');
  const char* p = s.data();
  const char* const end = p + s.size();
  for (;;) {
    const char* stop = PlainRun<kFromWin1252>(p, end);
    out.append(p, static_cast<std::size_t>(stop - p));
    if (stop == end) break;
    const auto c = static_cast<unsigned char>(*stop);
    if (kFromWin1252 && c >= 0x80) {
      text::AppendUtf8(out, text::Win1252ToCodePoint(c));
    } else {
      AppendEscape(out, c);
    }
    p = stop + 1;
  }
  out.push_back('"');
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) { AppendEscaped<false>(out, utf8); }

void AppendStoredJsonString(std::string& out, std::string_view win1252) { AppendEscaped<true>(out, win1252); }

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

void AppendStoredReportJson(std::string& out, const char* stored, std::string_view indent, bool exact) {
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
        AppendStoredJsonString(
            out, exact ? std::string_view(at, text::EndOfText(at, m.width)) : text::TrimStored(at, m.width));
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
        } else if (const auto dt = time::FromOleDate(value)) {
          // A date's text needs no escapes.
          out += '"';
          AppendIsoDate(out, *dt);
          out += '"';
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
  std::string json;
  AppendStoredReportJson(json, stored.data(), indent, exact);
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

#include "core/output/report_email.h"

#include "core/reports/report_fields.h"

namespace kestrova::output {
namespace {

std::string Encoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    const bool unreserved = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
                            b == '.' || b == '_' || b == '~';
    if (unreserved) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0x0F]);
    }
  }
  return out;
}

}  // namespace

ReportEmail BuildReportEmail(const reports::FieldTexts46& f) {
  const auto F = [&](int n) { return f[static_cast<std::size_t>(n)]; };
  const auto L = [](int n) { return std::string(reports::Field(n).heading); };
  const std::string nl = "\r\n";
  ReportEmail email;
  email.subject = "Report - Control Number " + F(0);
  email.body = "Synopsis" + nl + nl +                                                       //
               L(0) + ": " + F(0) + nl + L(1) + ": " + F(1) + nl + nl +                     //
               L(2) + ": " + F(2) + nl + L(3) + ": " + F(3) + nl + nl +                     //
               L(4) + ": " + F(4) + nl + "Reported Entered: " + F(5) + nl + nl +            //
               "Occurred (from): " + F(6) + nl + "Occurred (to): " + F(7) + nl +            //
               "Location Occurred: " + F(8) + nl + nl +                                     //
               "Reported on: " + F(9) + nl + "Reported by '" + F(12) + "' " + F(11) + nl +  //
               "Location Reported: " + F(10);
  return email;
}

std::string MailtoQuery(const ReportEmail& email) {
  return "?subject=" + Encoded(email.subject) + "&body=" + Encoded(email.body);
}

}  // namespace kestrova::output

#include "core/output/printout_names.h"

#include "core/time/date_format.h"

namespace kestrova::output {
namespace {

std::string Stamp(const time::DateTime& moment) { return time::FormatDateTime(moment, time::kControlNumberFormat); }

std::string WithCase(std::string_view caseNumber) {
  const std::string clean = CleanCaseNumber(caseNumber);
  return clean.empty() ? std::string() : clean + "-";
}

// Where the ".pdf" at the end of a file's name begins (any case); the
// name's length when it has none.
std::size_t ExtensionAt(std::string_view path) {
  if (path.size() < 4) return path.size();
  const std::string_view tail = path.substr(path.size() - 4);
  const auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
  const bool pdf = tail[0] == '.' && lower(tail[1]) == 'p' && lower(tail[2]) == 'd' && lower(tail[3]) == 'f';
  return pdf ? path.size() - 4 : path.size();
}

}  // namespace

std::string CleanCaseNumber(std::string_view caseNumber) {
  std::string out;
  for (const char c : caseNumber) {
    const bool keep =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
    if (keep) out.push_back(c);
  }
  return out;
}

std::string ReportPdfName(std::string_view caseNumber, const time::DateTime& printedAt) {
  return "report-" + WithCase(caseNumber) + Stamp(printedAt) + ".pdf";
}

std::string ListPdfName(const time::DateTime& printedAt) { return "list-" + Stamp(printedAt) + ".pdf"; }

std::string PicturePdfName(int slot, std::string_view caseNumber, const time::DateTime& printedAt) {
  return "picture-" + std::to_string(slot) + "-" + WithCase(caseNumber) + Stamp(printedAt) + ".pdf";
}

std::string PicturePdfBeside(std::string_view reportPath, int slot) {
  return std::string(reportPath.substr(0, ExtensionAt(reportPath))) + "-picture" + std::to_string(slot) + ".pdf";
}

std::string NumberedPdfName(std::string_view path, int copy) {
  if (copy <= 1) return std::string(path);
  const std::size_t at = ExtensionAt(path);
  const std::string_view extension = at < path.size() ? path.substr(at) : std::string_view(".pdf");
  return std::string(path.substr(0, at)) + "-" + std::to_string(copy) + std::string(extension);
}

std::optional<std::string> ClaimNumberedName(std::string_view path,
                                             const std::function<Claim(const std::string&)>& claim, int tries) {
  for (int copy = 1; copy <= tries; ++copy) {
    std::string name = NumberedPdfName(path, copy);
    switch (claim(name)) {
      case Claim::Got: return name;
      case Claim::Failed: return std::nullopt;
      case Claim::Taken: break;
    }
  }
  return std::nullopt;
}

}  // namespace kestrova::output

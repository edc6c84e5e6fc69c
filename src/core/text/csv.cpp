#include "core/text/csv.h"

namespace kestrova::text {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

Result<std::optional<std::vector<std::string>>> CsvReader::Next() {
  using Traits = std::istream::traits_type;
  const auto refuse = [&](const std::string& why) -> Error {
    return Error{Error::Kind::Damaged, "line " + std::to_string(line_) + ": " + why};
  };
  if (!begun_) {
    begun_ = true;
    if (in_.peek() == 0xEF) {
      char bom[3] = {};
      in_.read(bom, 3);
      if (std::string_view(bom, static_cast<std::size_t>(in_.gcount())) != "\xEF\xBB\xBF") {
        return refuse("the file begins with bytes that are not text");
      }
    }
  }
  if (in_.peek() == Traits::eof()) return std::optional<std::vector<std::string>>();
  start_ = line_;
  std::vector<std::string> fields(1);
  bool quoted = false;     // inside a quoted field
  bool wasQuoted = false;  // the field began with a quote (and it is closed)
  for (;;) {
    const int c = in_.get();
    std::string& field = fields.back();
    if (c == Traits::eof()) {
      if (quoted) return refuse("a quoted field is not closed by the end of the file");
      return std::optional<std::vector<std::string>>(std::move(fields));
    }
    if (quoted) {
      if (c == '"') {
        if (in_.peek() == '"') {
          in_.get();
          field.push_back('"');
        } else {
          quoted = false;
          wasQuoted = true;
        }
        continue;
      }
      if (c == '\n') ++line_;
      field.push_back(static_cast<char>(c));
    } else if (c == ',') {
      if (fields.size() >= kMostFields) return refuse("more than " + std::to_string(kMostFields) + " fields");
      fields.emplace_back();
      wasQuoted = false;
      continue;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && in_.peek() == '\n') in_.get();
      ++line_;
      return std::optional<std::vector<std::string>>(std::move(fields));
    } else if (wasQuoted) {
      return refuse("text after the closing quote of a field");
    } else if (c == '"') {
      if (!field.empty()) return refuse("a quote inside a field that does not begin with one");
      quoted = true;
      continue;
    } else {
      field.push_back(static_cast<char>(c));
    }
    if (field.size() > longest_) {
      return refuse("a field longer than " + std::to_string(longest_) + " bytes, which no report holds");
    }
  }
}

}  // namespace kestrova::text

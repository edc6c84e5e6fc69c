#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace kestrova::text {

// A CSV field as RFC 4180 quotes it: between double quotes, inner quotes
// doubled, when it holds a comma, a quote or a line break; as it is else.
std::string CsvField(std::string_view text);

// Reads CSV as RFC 4180 writes it: fields separated by commas, records
// ended by CR LF (a bare LF is taken too), a field in double quotes holding
// commas, line breaks and doubled quotes. A UTF-8 byte-order mark at the
// start is skipped. Anything else (a quote inside a field that does not
// begin with one, text after a closing quote, a quote left open, a field
// longer than `longestField` bytes, a record of more than kMostFields
// fields) is refused with the line it is on,
// without reading further.
class CsvReader {
 public:
  static constexpr std::size_t kMostFields = 1024;
  CsvReader(std::istream& in, std::size_t longestField) : in_(in), longest_(longestField) {}

  // The next record's fields, or nothing at the end.
  Result<std::optional<std::vector<std::string>>> Next();
  // The line the record last returned began on (from 1).
  std::size_t line() const { return start_; }

 private:
  std::istream& in_;
  std::size_t longest_;
  std::size_t line_ = 1;
  std::size_t start_ = 0;
  bool begun_ = false;
};

}  // namespace kestrova::text

#pragma once

#include <string>
#include <string_view>

namespace kestrova::text {

// A CSV field as RFC 4180 quotes it: between double quotes, inner quotes
// doubled, when it holds a comma, a quote or a line break; as it is else.
std::string CsvField(std::string_view text);

}  // namespace kestrova::text

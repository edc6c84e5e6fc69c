#pragma once

#include <string>
#include <vector>

namespace kestrova::text {

// The caption and lines that refuse a text the data files' code page cannot
// hold, naming the field and each character once; empty lines when the
// text can be stored exactly.
inline constexpr const char* kUnstorableCaption = "Characters Not Stored";
std::vector<std::string> UnstorableTextLines(const std::string& fieldName, const std::string& utf8);

}  // namespace kestrova::text

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Stored texts (record members, logs, printouts, e-mail) break their lines
// with CR LF; the windows' text boxes use LF alone.
namespace kestrova::text {

// Every line break as CR LF: a lone LF or a lone CR becomes CR LF.
std::string ToStoredLineBreaks(std::string_view text);

// Every line break as LF: CR LF and a lone CR become LF.
std::string ToShownLineBreaks(std::string_view text);

// The characters a text shown with LF breaks (UTF-8) takes once stored: a
// line break counts two.
std::size_t StoredLength(std::string_view shown);

}  // namespace kestrova::text

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Fixed-width text members of the record files: exactly `width` bytes of
// Windows-1252, left-aligned, padded on the right with blanks.
namespace kestrova::text {

// Stores UTF-8 text into dest[0..width): encoded, cut to the width, padded.
void EncodeFixedText(std::string_view utf8, char* dest, std::size_t width);

// The stored text as UTF-8 without its padding (trailing blanks). Leading
// blanks are kept, so decoding and encoding again gives back the same bytes.
std::string DecodeFixedText(const char* src, std::size_t width);
// The same into a string whose storage is reused (for scans).
void DecodeFixedText(const char* src, std::size_t width, std::string& out);

// Where the stored text ends: the width less its padding.
std::size_t EndOfText(const char* src, std::size_t width);

// A stored member's bytes without blanks at either end (still Windows-1252).
std::string_view TrimStored(const char* src, std::size_t width);

// Removes leading and trailing blanks, as every reader of a text member does
// before showing, comparing or searching it.
std::string_view Trim(std::string_view s);

// DecodeFixedText followed by Trim.
std::string ReadFixedText(const char* src, std::size_t width);

}  // namespace kestrova::text

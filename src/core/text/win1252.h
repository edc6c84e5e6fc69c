#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Windows-1252 is the single-byte code page of every text stored in the
// program's record files and logs. Inside the program text is UTF-8.
namespace kestrova::text {

// The Unicode character a Windows-1252 byte stands for. The five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control of the same number, so every byte value survives a round trip.
char32_t Win1252ToCodePoint(std::uint8_t byte);

// The byte for a Unicode character, or nothing when the code page cannot hold it.
std::optional<std::uint8_t> CodePointToWin1252(char32_t cp);

std::string Win1252ToUtf8(std::string_view bytes);
// The same into a string whose storage is reused.
void Win1252ToUtf8(std::string_view bytes, std::string& out);

// Characters the code page cannot hold, and bytes that are not valid UTF-8,
// become "?".
std::string Utf8ToWin1252(std::string_view utf8);

// The characters of the UTF-8 text that the code page cannot hold, each once,
// in order of first appearance, as UTF-8 (an invalid byte shows as U+FFFD).
// Empty when the text can be stored exactly.
std::string UnstorableCharacters(std::string_view utf8);

// Appends the UTF-8 form of one character.
void AppendUtf8(std::string& out, char32_t cp);

// Reads one character from UTF-8 at pos and advances pos. An invalid sequence
// yields U+FFFD and advances by one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);

}  // namespace kestrova::text

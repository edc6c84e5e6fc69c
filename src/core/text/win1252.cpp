#include "core/text/win1252.h"

#include <array>
#include <cstring>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrova::text {
namespace {

// 0x80..0x9F; the other bytes are the Latin-1 characters of the same number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char32_t Win1252ToCodePoint(std::uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

std::optional<std::uint8_t> CodePointToWin1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<std::uint8_t>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<std::uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const std::uint8_t lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return 0xFFFD;
  }
  if (pos + length > s.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const std::uint8_t next = byte(pos + i);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return 0xFFFD;
  }
  pos += length;
  return cp;
}

void Win1252ToUtf8(std::string_view bytes, std::string& out) {
  // Plain ASCII, the usual case, is already UTF-8: find where it ends
  // eight bytes at a time and copy that much at once.
  std::size_t ascii = 0;
#if defined(__SSE2__)
  while (ascii + 32 <= bytes.size()) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + ascii));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + ascii + 16));
    if (_mm_movemask_epi8(_mm_or_si128(a, b)) != 0) break;
    ascii += 32;
  }
#endif
  while (ascii + 8 <= bytes.size()) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + ascii, 8);
    if (word & 0x8080808080808080ULL) break;
    ascii += 8;
  }
  while (ascii < bytes.size() && static_cast<std::uint8_t>(bytes[ascii]) < 0x80) ++ascii;
  out.assign(bytes.data(), ascii);
  if (ascii == bytes.size()) return;
  out.reserve(bytes.size() + 16);
  for (char c : bytes.substr(ascii)) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      AppendUtf8(out, Win1252ToCodePoint(b));
    }
  }
}

std::string Win1252ToUtf8(std::string_view bytes) {
  std::string out;
  Win1252ToUtf8(bytes, out);
  return out;
}

std::string Utf8ToWin1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto b = static_cast<std::uint8_t>(utf8[pos]);
    if (b < 0x80) {
      out.push_back(utf8[pos++]);
      continue;
    }
    const auto mapped = CodePointToWin1252(NextCodePoint(utf8, pos));
    out.push_back(mapped ? static_cast<char>(*mapped) : '?');
  }
  return out;
}

std::string UnstorableCharacters(std::string_view utf8) {
  std::string found;
  std::u32string seen;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto b = static_cast<std::uint8_t>(utf8[pos]);
    if (b < 0x80) {
      ++pos;
      continue;
    }
    // An invalid byte reads as U+FFFD, which the code page cannot hold either.
    const char32_t cp = NextCodePoint(utf8, pos);
    if (CodePointToWin1252(cp)) continue;
    if (seen.find(cp) != std::u32string::npos) continue;
    seen.push_back(cp);
    AppendUtf8(found, cp);
  }
  return found;
}

}  // namespace kestrova::text

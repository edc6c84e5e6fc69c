#include "core/text/fixed_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/text/win1252.h"

namespace kestrova::text {

void EncodeFixedText(std::string_view utf8, char* dest, std::size_t width) {
  const std::string bytes = Utf8ToWin1252(utf8);
  const std::size_t n = std::min(bytes.size(), width);
  std::memcpy(dest, bytes.data(), n);
  std::memset(dest + n, ' ', width - n);
}

std::size_t EndOfText(const char* src, std::size_t width) {
  // Most of a long member is padding: skip it a block at a time.
  std::size_t n = width;
#if defined(__SSE2__)
  const __m128i blanks = _mm_set1_epi8(' ');
  while (n >= 32) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 32));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 16));
    const __m128i same = _mm_and_si128(_mm_cmpeq_epi8(a, blanks), _mm_cmpeq_epi8(b, blanks));
    if (_mm_movemask_epi8(same) != 0xFFFF) break;
    n -= 32;
  }
#endif
  constexpr std::uint64_t kBlanks = 0x2020202020202020ULL;
  while (n >= 8) {
    std::uint64_t word;
    std::memcpy(&word, src + n - 8, 8);
    if (word != kBlanks) break;
    n -= 8;
  }
  while (n > 0 && src[n - 1] == ' ') --n;
  return n;
}

std::string_view TrimStored(const char* src, std::size_t width) {
  std::size_t end = EndOfText(src, width);
  std::size_t start = 0;
  while (start < end && src[start] == ' ') ++start;
  return std::string_view(src + start, end - start);
}

void DecodeFixedText(const char* src, std::size_t width, std::string& out) {
  Win1252ToUtf8(std::string_view(src, EndOfText(src, width)), out);
}

std::string DecodeFixedText(const char* src, std::size_t width) {
  std::string out;
  DecodeFixedText(src, width, out);
  return out;
}

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

std::string ReadFixedText(const char* src, std::size_t width) { return std::string(Trim(DecodeFixedText(src, width))); }

}  // namespace kestrova::text

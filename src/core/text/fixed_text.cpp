#include "core/text/fixed_text.h"

#include <algorithm>
#include <cstring>

#include "core/text/win1252.h"

namespace kestrova::text {

void EncodeFixedText(std::string_view utf8, char* dest, std::size_t width) {
  const std::string bytes = Utf8ToWin1252(utf8);
  const std::size_t n = std::min(bytes.size(), width);
  std::memcpy(dest, bytes.data(), n);
  std::memset(dest + n, ' ', width - n);
}

std::string DecodeFixedText(const char* src, std::size_t width) {
  std::size_t n = width;
  while (n > 0 && src[n - 1] == ' ') --n;
  return Win1252ToUtf8(std::string_view(src, n));
}

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

std::string ReadFixedText(const char* src, std::size_t width) {
  return std::string(Trim(DecodeFixedText(src, width)));
}

}  // namespace kestrova::text

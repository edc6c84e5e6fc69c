#include "core/text/line_breaks.h"

#include "core/text/win1252.h"

namespace kestrova::text {

std::string ToStoredLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string ToShownLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::size_t StoredLength(std::string_view shown) {
  std::size_t length = 0;
  std::size_t pos = 0;
  while (pos < shown.size()) {
    const char c = shown[pos];
    if (c == '\r') {
      length += 2;
      pos += (pos + 1 < shown.size() && shown[pos + 1] == '\n') ? 2 : 1;
      continue;
    }
    if (c == '\n') {
      length += 2;
      ++pos;
      continue;
    }
    (void)NextCodePoint(shown, pos);
    ++length;
  }
  return length;
}

}  // namespace kestrova::text

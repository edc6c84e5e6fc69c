#include "core/logs/log_view.h"

#include "core/logs/activity_log.h"
#include "core/text/win1252.h"
#include "core/ui/contains_phrase.h"

namespace kestrova::logs {
namespace {

// Line ends as the text box keeps them: CR LF and a lone CR become LF.
std::string NormalisedLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// One byte a character, lower-cased; nothing when a character is not in
// the code page (it can then match nothing in a log).
std::optional<std::string> Folded(std::string_view utf8, bool strict) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto byte = text::CodePointToWin1252(text::NextCodePoint(utf8, pos));
    if (!byte && strict) return std::nullopt;
    out += static_cast<char>(ui::LowerByte(byte.value_or('?')));
  }
  return out;
}

LogView NoEntries() { return LogView{false, std::string(kNoEntriesText)}; }

}  // namespace

LogView ViewLogText(std::string_view text) {
  const std::string normal = NormalisedLineEnds(text);
  const std::string_view trimmed = TrimBlanks(normal);
  if (trimmed.empty()) return NoEntries();
  return LogView{true, std::string(trimmed)};
}

LogView ViewLog(const std::filesystem::path& folder, std::string_view logName) {
  auto tail = ReadLogTail(folder, logName);
  if (!tail.ok()) return NoEntries();
  LogView view = ViewLogText(tail->text);
  if (view.hasEntries && tail->cut) view.text = LogCutNote(tail->logBytes) + "\n" + view.text;
  return view;
}

TextFinder::TextFinder(std::string_view shownText) : folded_(*Folded(shownText, false)) {}

std::optional<TextMatch> TextFinder::Find(std::string_view query, std::size_t from) const {
  if (query.empty() || from >= folded_.size()) return std::nullopt;
  const auto folded = Folded(query, true);
  if (!folded) return std::nullopt;
  const std::size_t at = std::string_view(folded_).find(*folded, from);
  if (at == std::string_view::npos) return std::nullopt;
  return TextMatch{at, folded->size()};
}

ViewerSearch::Step ViewerSearch::FindNext(const TextFinder& text, std::string_view query) {
  const auto match = text.Find(query, from_);
  if (match) {
    from_ = match->start + 1;
    return Step{Answer::Found, *match};
  }
  return Step{from_ == 0 ? Answer::NoSuchText : Answer::EndOfText, {}};
}

}  // namespace kestrova::logs

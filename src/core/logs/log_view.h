#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The administrative window's log viewer: what it shows of a log, and its
// search through what it shows.
namespace kestrova::logs {

inline constexpr std::string_view kNoEntriesText = "There are currently no entries for this log file";

struct LogView {
  // False for a log that is missing, unreadable, empty or nothing but
  // blanks: the text is then kNoEntriesText, and no note is shown.
  bool hasEntries = false;
  // UTF-8 with "\n" line ends, trimmed of blanks at both ends. A log
  // larger than kLogViewBytes begins with a line saying only its newest
  // lines are shown.
  std::string text;
};

// Reads a log for the viewer; the log itself is never changed.
LogView ViewLog(const std::filesystem::path& folder, std::string_view logName);
// The same for the text of a whole log (UTF-8, any line ends).
LogView ViewLogText(std::string_view text);

// A match in the shown text: positions and lengths count characters, as
// the text box does (every character of a log is one UTF-16 unit).
struct TextMatch {
  std::size_t start = 0;
  std::size_t length = 0;
  friend bool operator==(const TextMatch&, const TextMatch&) = default;
};

// Looks for text in the shown text, ignoring letter case (accented letters
// too, as the log's code page pairs them).
class TextFinder {
 public:
  explicit TextFinder(std::string_view shownText);
  // The first match starting at character `from` or later; nothing for an
  // empty query or a start past the end.
  std::optional<TextMatch> Find(std::string_view query, std::size_t from) const;
  std::size_t size() const { return folded_.size(); }

 private:
  std::string folded_;  // one Windows-1252 byte a character, lower-cased
};

// "Find Next": the viewer's search, which starts from the top and goes on
// after each match, so it never finds the same match twice in a row.
class ViewerSearch {
 public:
  enum class Answer {
    Found,       // select the match
    NoSuchText,  // nothing from the top: "No such text"
    EndOfText,   // nothing further: "End of text reached"
  };
  struct Step {
    Answer answer = Answer::NoSuchText;
    TextMatch match;
  };
  Step FindNext(const TextFinder& text, std::string_view query);
  // Back to the top ("Start again from the top?" answered yes, or a new search).
  void Restart() { from_ = 0; }
  std::size_t from() const { return from_; }

 private:
  std::size_t from_ = 0;
};

}  // namespace kestrova::logs

#include "core/update/update_check.h"

#include <cctype>

namespace kestrova::update {
namespace {

bool TwoDigits(std::string_view s, std::size_t at, int& value) {
  if (at + 2 > s.size()) return false;
  if (!std::isdigit(static_cast<unsigned char>(s[at])) || !std::isdigit(static_cast<unsigned char>(s[at + 1]))) {
    return false;
  }
  value = (s[at] - '0') * 10 + (s[at + 1] - '0');
  return true;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(current);
      current.clear();
    } else {
      current.push_back(text[i]);
    }
  }
  lines.push_back(current);
  return lines;
}

}  // namespace

UpdateDecision DecideUpdate(std::string_view reply, int major, int minor, int revision, bool userAsked,
                            std::string_view makerName, std::string_view applicationTitle) {
  UpdateDecision d;
  if (reply.empty()) return d;
  if (reply.size() < 6 || reply[2] != '.' || reply[5] != '.') return d;
  int serverMajor = 0, serverMinor = 0, serverRevision = 0;
  // A reply whose numbers are not digits is as malformed as one without dots.
  if (!TwoDigits(reply, 0, serverMajor) || !TwoDigits(reply, 3, serverMinor) || !TwoDigits(reply, 6, serverRevision)) {
    return d;
  }
  const int server = serverMajor * 10000 + serverMinor * 100 + serverRevision;
  const int own = major * 10000 + minor * 100 + revision;
  if (own < server) {
    std::string first, second;
    if (serverMajor > major) {
      first = "A major upgrade is currently available.";
      second = "See our website for further details.";
    } else if (serverMinor > minor) {
      first = "An upgrade is currently available. Pricing may apply.";
      second = "See our website for further details.";
    } else if (serverRevision > revision) {
      first = "A minor upgrade is available at no cost.";
      second = "Download from our website at your convenience.";
    } else {
      return d;
    }
    // The note after the first "::"; without one, the reply from its second
    // character (the marker's position counts as 0).
    const auto marker = reply.find("::");
    const std::size_t from = marker == std::string_view::npos ? 1 : marker + 2;
    d.show = UpdateDecision::Show::UpdateAvailable;
    d.caption = "Update available!";
    d.lines = Lines(reply.substr(std::min(from, reply.size())));
    d.lines.push_back("");
    d.lines.push_back(first);
    d.lines.push_back(second);
    d.buttons = {"&Go to " + std::string(makerName) + " web site", "&Ignore for now"};
    d.defaultButton = 2;
    return d;
  }
  if (!userAsked) return d;
  d.show = UpdateDecision::Show::NoUpdates;
  d.caption = "No updates available";
  d.lines = {"This is the most current", "version of " + std::string(applicationTitle) + "."};
  d.buttons = {"&Okay"};
  return d;
}

std::string UpdatePage(std::string_view makerWebSite, std::string_view applicationTitle) {
  std::string title(applicationTitle);
  for (char& c : title) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::string(makerWebSite) + "/html/" + title + ".html";
}

}  // namespace kestrova::update

#pragma once

#include <string>
#include <string_view>
#include <vector>

// What to make of the version information the maker's server sends.
namespace kestrova::update {

struct UpdateDecision {
  enum class Show { Nothing, UpdateAvailable, NoUpdates };
  Show show = Show::Nothing;
  std::string caption;
  std::vector<std::string> lines;  // the message, one entry per line
  std::vector<std::string> buttons;
  int defaultButton = 1;
};

// The reply "MM.mm.rr" with an optional "::" and a note, against the
// program's own major, minor and revision. A malformed reply shows
// nothing; "No updates available" only when the user asked.
UpdateDecision DecideUpdate(std::string_view reply, int major, int minor, int revision, bool userAsked,
                            std::string_view makerName, std::string_view applicationTitle);

// The page the "Go to ... web site" button opens: the maker's site,
// "/html/", the title in lower case and ".html".
std::string UpdatePage(std::string_view makerWebSite, std::string_view applicationTitle);

}  // namespace kestrova::update

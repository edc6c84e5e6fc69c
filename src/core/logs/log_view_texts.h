#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/logs/activity_log.h"
#include "core/ui/message.h"

// What the administrative window's log viewer says: its four log options,
// the note under a log, the search's buttons, input box and dialogs.
namespace kestrova::logs {

struct LogOption {
  std::string_view captionTop;  // the option's caption is two lines
  std::string_view captionBottom;
  std::string_view toolTip;
  std::string_view fileName;
};
// The options in their order on the panel, 1 to 4.
inline constexpr std::array<LogOption, 4> kLogOptions = {{
    {"Data Records", "History", "A log of all data record events (add, edit, move, restore, or delete)",
     kDataRecordsLog},
    {"Database Search", "History", "A log of all searches performed on the database", kSearchLog},
    {"Sign-In", "History", "A log of users who have signed in and signed out...", kSignInOutLog},
    {"User List", "Maintenance", "A log of users who have been added, edited, and deleted", kUserListLog},
}};

// Shown under a log with entries, in two lines.
inline constexpr std::array<std::string_view, 2> kLogNoteLines = {
    "NOTE: You can copy/paste all or any part of the above text", "for documentation or printing purposes"};

inline constexpr std::string_view kFindTextCaption = "F&ind text";
inline constexpr std::string_view kFindTextToolTip = " Search the currently displayed activity log ";
inline constexpr std::string_view kFindNextCaption = "Find &Next...";
inline constexpr std::string_view kFindFinishedCaption = "&Finished";
inline constexpr std::string_view kFindFinishedToolTip = " Stop searching for text ";

// The input box that asks what to look for; it opens with the last search text.
inline constexpr std::string_view kSearchBoxTitle = "Search for Text";
inline constexpr std::string_view kSearchBoxPrompt = "\n\n\nEnter any text, whole or partial\nthat you wish to find...";

// The find button's tool-tip while a search runs.
inline std::string LookingForToolTip(std::string_view query) { return " Looking for '" + std::string(query) + "' "; }

// Nothing found from the top. Either button ends the search; the first
// starts another at once.
inline ui::Message NoSuchTextMessage(std::string_view query) {
  return ui::Message{"No such text",
                     4,
                     {"The text '" + std::string(query) + "'", "could not be found."},
                     {"&Try &another search", "&Stop searching"},
                     2};
}

// Nothing further down. The first button searches again from the top.
inline ui::Message EndOfTextMessage() {
  return ui::Message{"End of text reached",
                     5,
                     {"No further matches found.", "", "Start again from the top?"},
                     {"&Yes, look again", "&No, stop searching"},
                     1};
}

}  // namespace kestrova::logs

#include "core/reports/command_state.h"

namespace kestrova::reports {

std::vector<CommandLook> CommandState(const MainWindowState& s, const std::string& title) {
  const bool selected = s.selectedRow > 0;
  const bool active = !s.InactiveListShown;
  const int level = s.accessLevel;
  std::vector<CommandLook> c;
  auto add = [&](const char* name, bool visible, bool enabled, std::string caption, std::string tip) {
    c.push_back({name, visible, visible && enabled, std::move(caption), std::move(tip)});
  };
  add("cmdHelp", true, true, "", " Illustrated Manual ");
  add("cmdAbout", true, true, "", " About " + title + " ");
  add("cmdUserInfo", true, true, "", " User name/access information ");
  add("cmdNetworkInfo", true, true, "", " Network status/information ");
  add("cmdRefreshGrid", true, true, "",
      std::string(" Refresh the displayed report list") + " (right-click for more info & audio options) ");
  add("cmdAdminWindow", true, true, "", " Return to the Administrative Window ");
  add("cmdQuit", true, true, "", " Click here to exit " + title + " ");
  add("cmdFindEntries", s.rowCount > 2 && s.FullListShown, true, "Search this list...",
      " Search for one or more record(s) according to... ");
  add("cmdSeeAllEntries", s.PhraseSearchActive || s.SummaryActive, true, "Finished Searching",
      " Return to the full list of reports in the database ");
  add("cmdPrintList", s.rowCount > 2, true, "Print this list...",
      " Print this currently displayed list of reports... ");
  add("cmdAddEntry", active && s.FullListShown, level > 2, "&Add New Report",
      " Add a new report to your database (right-click to use 'template' option) ");
  add("cmdRestoreEntry", selected && !active && s.FullListShown, level == 4, "Res&tore this Report",
      " Return this archived report back to the 'Active List' ");
  add("cmdAddSave", s.AddMode, true, "&Save New Entry", "");
  add("cmdAddCancel", s.AddMode, true, "&Cancel New Entry", "");
  add("cmdEditEntry", selected, level > 1, "&Edit this Report", " Add/edit information to this report ");
  add("cmdEditSave", s.EditMode, true, "&Save Changes", "");
  add("cmdEditCancel", s.EditMode, true, "&Cancel Changes", "");
  add("cmdPrintEntry", selected, true, "Print this Report...",
      " Print the information in this currently displayed report... ");
  add("cmdEmailEntry", selected, true, "Email this Report...",
      " Send an email containing the details of this report... ");
  add("cmdArchiveEntry", selected && active && s.FullListShown, level == 4, "A&rchive this Report",
      " Move this report to the 'Inactive' list ");
  add("cmdDeleteEntry", selected && s.FullListShown, level == 4, "&Delete this Report",
      " Permanently delete this report from the " + title + " database ");
  return c;
}

bool ShowLargerPicture(const MainWindowState& s, int slot) {
  if (slot < 1 || slot > 3) return false;
  return !s.picturePaths[static_cast<std::size_t>(slot - 1)].empty() && !s.AddMode && !s.EditMode;
}

}  // namespace kestrova::reports

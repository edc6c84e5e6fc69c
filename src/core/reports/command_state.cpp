#include "core/reports/command_state.h"

namespace kestrova::reports {

std::string_view CommandName(Command command) {
  static constexpr std::string_view kNames[kCommandCount] = {
      "cmdAddEntry",      "cmdAddSave",      "cmdAddCancel",   "cmdEditEntry",  "cmdEditSave",   "cmdEditCancel",
      "cmdArchiveEntry",  "cmdRestoreEntry", "cmdDeleteEntry", "cmdPrintEntry", "cmdEmailEntry", "cmdFindEntries",
      "cmdSeeAllEntries", "cmdPrintList",    "cmdHelp",        "cmdAbout",      "cmdUserInfo",   "cmdAdminWindow",
      "cmdQuit",          "cmdRefreshGrid",  "cmdNetworkInfo"};
  return kNames[static_cast<std::size_t>(command)];
}

std::vector<CommandLook> CommandState(const MainWindowState& s, const std::string& title) {
  const bool selected = s.selectedRow > 0;
  const bool active = !s.InactiveListShown;
  using users::AccessLevel;
  const AccessLevel level = s.accessLevel;
  // While a report is written nothing may replace the shown report or the
  // list: every command that would is out of reach until save or cancel.
  const bool writing = s.AddMode || s.EditMode;
  std::vector<CommandLook> c;
  auto add = [&](Command command, bool visible, bool enabled, std::string caption, std::string tip) {
    c.push_back(
        {command, std::string(CommandName(command)), visible, visible && enabled, std::move(caption), std::move(tip)});
  };
  add(Command::Help, true, true, "", " Illustrated Manual ");
  add(Command::About, true, true, "", " About " + title + " ");
  add(Command::UserInfo, true, true, "", " User name/access information ");
  add(Command::NetworkInfo, true, true, "", " Network status/information ");
  add(Command::RefreshGrid, !writing, true, "",
      std::string(" Refresh the displayed report list") + " (right-click for more info & audio options) ");
  add(Command::AdminWindow, !writing, true, "", " Return to the Administrative Window ");
  add(Command::Quit, true, true, "", " Click here to exit " + title + " ");
  add(Command::FindEntries, s.rowCount > 2 && s.FullListShown, !writing, "Search this list...",
      " Search for one or more record(s) according to... ");
  add(Command::SeeAllEntries, s.PhraseSearchActive || s.SummaryActive, !writing, "Finished Searching",
      " Return to the full list of reports in the database ");
  add(Command::PrintList, s.rowCount > 2, !writing, "Print this list...",
      " Print this currently displayed list of reports... ");
  add(Command::AddEntry, active && s.FullListShown && !writing, level >= AccessLevel::ReadEditAdd, "&Add New Report",
      " Add a new report to your database (right-click to use 'template' option) ");
  add(Command::RestoreEntry, selected && !active && s.FullListShown && !writing, level == AccessLevel::FullAccess,
      "Res&tore this Report", " Return this archived report back to the 'Active List' ");
  add(Command::AddSave, s.AddMode, true, "&Save New Entry", "");
  add(Command::AddCancel, s.AddMode, true, "&Cancel New Entry", "");
  add(Command::EditEntry, selected && !writing, level >= AccessLevel::ReadEdit, "&Edit this Report",
      " Add/edit information to this report ");
  add(Command::EditSave, s.EditMode, true, "&Save Changes", "");
  add(Command::EditCancel, s.EditMode, true, "&Cancel Changes", "");
  add(Command::PrintEntry, selected && !writing, true, "Print this Report...",
      " Print the information in this currently displayed report... ");
  add(Command::EmailEntry, selected && !writing, true, "Email this Report...",
      " Send an email containing the details of this report... ");
  add(Command::ArchiveEntry, selected && active && s.FullListShown && !writing, level == AccessLevel::FullAccess,
      "A&rchive this Report", " Move this report to the 'Inactive' list ");
  add(Command::DeleteEntry, selected && s.FullListShown && !writing, level == AccessLevel::FullAccess,
      "&Delete this Report", " Permanently delete this report from the " + title + " database ");
  return c;
}

bool ShowLargerPicture(const MainWindowState& s, int slot) { return PictureButtons(s, slot).larger; }

PictureButtonLooks PictureButtons(const MainWindowState& s, int slot) {
  PictureButtonLooks p;
  if (slot < 1 || slot > 3) return p;
  const bool has = !s.picturePaths[static_cast<std::size_t>(slot - 1)].empty();
  const bool writing = s.AddMode || s.EditMode;
  p.larger = has && !writing;
  p.addEdit = writing;
  // A Read/Edit user may change a picture but not add one.
  p.addEditEnabled = writing && ((has && s.accessLevel >= users::AccessLevel::ReadEdit) ||
                                 s.accessLevel >= users::AccessLevel::ReadEditAdd);
  p.addEditToolTip = has ? " Change this picture... " : " Add a picture... ";
  p.remove = writing && has;
  p.removeEnabled = p.remove && s.accessLevel == users::AccessLevel::FullAccess;
  return p;
}

}  // namespace kestrova::reports

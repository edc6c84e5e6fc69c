#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/users/sign_in.h"

// Which of the main window's command buttons are shown, usable and how
// they read, for what the window is doing and who is signed in.
namespace kestrova::reports {

struct MainWindowState {
  bool FullListShown = true;
  bool PhraseSearchActive = false;
  bool SummaryActive = false;
  bool AddMode = false;
  bool EditMode = false;
  bool InactiveListShown = false;
  int selectedRow = 0;  // 0 when nothing is selected
  int rowCount = 1;     // the grid's rows, heading row included
  users::AccessLevel accessLevel = users::AccessLevel::ReadOnly;
  std::array<std::string, 3> picturePaths;
};

// The main window's command buttons, in the order of the two rows.
enum class Command {
  AddEntry,
  AddSave,
  AddCancel,
  EditEntry,
  EditSave,
  EditCancel,
  ArchiveEntry,
  RestoreEntry,
  DeleteEntry,
  PrintEntry,
  EmailEntry,
  FindEntries,
  SeeAllEntries,
  PrintList,
  Help,
  About,
  UserInfo,
  AdminWindow,
  Quit,
  RefreshGrid,
  NetworkInfo,
};
inline constexpr std::size_t kCommandCount = 21;
// Its name in the window: "cmdAddEntry".
std::string_view CommandName(Command command);

struct CommandLook {
  Command command;
  std::string name;  // CommandName(command)
  bool visible = false;
  bool enabled = false;  // only meaningful while visible
  std::string caption;   // empty: the button keeps its own
  std::string toolTip;   // empty: the button keeps its own
};

// Every button of the command row, in a fixed order.
std::vector<CommandLook> CommandState(const MainWindowState& state, const std::string& applicationTitle);

// The picture buttons of slot 1-3: "Enlarge/Print" shows only for a shown
// picture outside adding and editing; add/edit and delete only while a
// report is written, by access level.
struct PictureButtonLooks {
  bool larger = false;
  bool addEdit = false;
  bool addEditEnabled = false;
  std::string addEditToolTip;
  bool remove = false;
  bool removeEnabled = false;
};
PictureButtonLooks PictureButtons(const MainWindowState& state, int slot);
bool ShowLargerPicture(const MainWindowState& state, int slot);

}  // namespace kestrova::reports

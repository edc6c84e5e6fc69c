#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/backup/backup.h"
#include "core/backup/backup_texts.h"

// A backup or a restore as the administrative window runs it, from the
// folder picker to the last notice. The window only answers and shows: it
// hands over its dialogs, caption and pointer as callbacks, and every text,
// question, check and copy is decided here.
//
//   backup::ProcedureHost host;
//   host.chooseFolder = [&](const std::string& prompt) -> std::optional<fs::path> {
//     ... the platform's folder picker, owned by the window; nothing when cancelled
//   };
//   host.ask = [&](const backup::Message& m) { ... the message dialog; the 1-based button chosen };
//   host.caption = [&] { return windowTitle().toStdString(); };
//   host.setCaption = [&](const std::string& text) { setWindowTitle(...); repaint(); };
//   host.setBusy = [&](bool busy) { ... disable the window and show the wait pointer, or undo that };
//   host.wait = [&](std::chrono::milliseconds pause) { ... let events run for that long };
//   host.progress = [&](const backup::Progress&) { ... let events run };  // optional
//   backup::ProcedureRun run(backup::Procedure::Backup, dataFolder, "Kestrova", host);
//   run.Run();                           // or: while (run.Advance()) { ... }
//   if (run.reloadUsers()) ... reload the user list;
//
// The caption the window had when the procedure started is put back when it
// ends, however it ends. The data folder is the program's own data folder
// (the one the rest of the program works in), never the program file's.
// Copies run in the caller's thread a block at a time; `progress` hears of
// every block, so a window that lets its events run there never freezes.
namespace kestrova::backup {

struct ProcedureHost {
  // The folder picker with this prompt (its lines separated by "\n").
  std::function<std::optional<std::filesystem::path>(const std::string& prompt)> chooseFolder;
  // Shows a question or a notice; returns the button chosen, counted from
  // 1 (0 when the dialog was closed without one).
  std::function<int(const Message&)> ask;
  std::function<std::string()> caption;
  std::function<void(const std::string&)> setCaption;
  // True while files are copied: the window is disabled, with the wait pointer.
  std::function<void(bool)> setBusy;
  // Spends the pause before each file of a backup; empty: the options' own.
  std::function<void(std::chrono::milliseconds)> wait;
  std::function<void(const Progress&)> progress;
};

class ProcedureRun {
 public:
  enum class Stage {
    ChooseFolder,  // the folder picker
    Examine,       // the chosen folder looked at; a notice when it will not do
    Confirm,       // the question before copying (a restore with no data file to replace has none)
    Copy,          // busy: the files copied, checked and put in place
    Report,        // the notice of success or of what failed
    Finished,
  };
  enum class Ending {
    Running,
    Cancelled,  // no folder chosen
    Stopped,    // the folder would not do; told so
    Declined,   // the question was answered no
    Succeeded,  // every copy verified and in place
    Failed,     // told what failed
  };

  ProcedureRun(Procedure procedure, std::filesystem::path dataFolder, std::string title, ProcedureHost host,
               ProcedureOptions options = {});

  // Does the current stage; false once the procedure has finished.
  bool Advance();
  // Every stage to the end.
  Ending Run();

  Stage stage() const { return stage_; }
  Ending ending() const { return ending_; }
  const std::filesystem::path& folder() const { return folder_; }
  // What the copying came to, once it ran.
  const std::optional<Outcome>& outcome() const { return outcome_; }
  // Whether a restore got as far as copying, failed or not: the window's
  // lists may no longer match the data folder.
  bool reloadUsers() const { return reloadUsers_; }

 private:
  void Finish(Ending ending);
  int Ask(const Message& message);

  Procedure procedure_;
  std::filesystem::path dataFolder_;
  std::string title_;
  ProcedureHost host_;
  ProcedureOptions options_;
  Stage stage_ = Stage::ChooseFolder;
  Ending ending_ = Ending::Running;
  std::string keptCaption_;
  std::filesystem::path folder_;
  BackupPlan backupPlan_;
  RestorePlan restorePlan_;
  std::optional<Outcome> outcome_;
  bool reloadUsers_ = false;
};

// The procedure of an item of the backup/restore menu (1 backs up, 2
// restores); nothing for the others.
std::optional<Procedure> MenuItemProcedure(int item);

}  // namespace kestrova::backup

#pragma once

#include <QDate>
#include <QSize>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/files/data_folder.h"
#include "core/search/search_criteria.h"
#include "core/time/ole_date.h"
#include "core/users/sign_in.h"
#include "gui/ui/message_request.h"
#include "gui/ui/program_names.h"
#include "platform/file_picker.h"
#include "platform/folder_picker.h"
#include "platform/http_fetch.h"
#include "platform/input_box.h"
#include "platform/printing.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system_message.h"

namespace kestrova::gui {

// What the desktop provides, as the session uses it: every member is set.
// Tests fill it with doubles and keep pointers to look at them.
struct Desktop {
  std::unique_ptr<platform::SettingsStore> settings;
  std::unique_ptr<platform::Shell> shell;
  std::unique_ptr<platform::SoundPlayer> sound;
  std::unique_ptr<platform::InputBox> inputBox;
  std::unique_ptr<platform::SystemMessage> systemMessage;
  // The program's own message dialog, or a script.
  std::unique_ptr<MessageAnswerer> messages;
  std::unique_ptr<time::Clock> clock;
  std::unique_ptr<platform::FilePicker> filePicker;
  std::unique_ptr<platform::FolderPicker> folderPicker;
  std::unique_ptr<platform::HttpFetch> http;
  // The printer and PDF files; tests record what would be printed.
  std::unique_ptr<platform::Printing> printing;

  static Desktop Real();
};

// The program-wide state every window is handed: the data folder, the
// desktop adapters, who is signed in.
class FolderNotes;
class OwnWrites;
class VersionCheck;

class Session {
 public:
  Session(std::filesystem::path dataFolder, Desktop desktop);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The data folder, whose waits and notices the windows show and whose
  // own writes OwnWrites announces.
  const files::DataFolder& folder() const { return folder_; }
  OwnWrites& ownWrites() { return *ownWrites_; }
  // Where the program itself is; its manual is beside it or in the share
  // folder it was installed with.
  const QString& programFolder() const { return programFolder_; }
  void setProgramFolder(const QString& folder) { programFolder_ = folder; }

  QString applicationTitle() const { return ApplicationTitle(); }
  QString makerName() const { return MakerName(); }
  QString makerEmail() const { return MakerEmail(); }
  QString makerWebSite() const { return MakerWebSite(); }

  platform::SettingsStore& settings() { return *desktop_.settings; }
  platform::Shell& shell() { return *desktop_.shell; }
  platform::SoundPlayer& sound() { return *desktop_.sound; }
  platform::InputBox& inputBox() { return *desktop_.inputBox; }
  platform::SystemMessage& systemMessage() { return *desktop_.systemMessage; }
  MessageAnswerer& messages() { return *desktop_.messages; }
  const time::Clock& clock() const { return *desktop_.clock; }
  platform::FilePicker& filePicker() { return *desktop_.filePicker; }
  platform::FolderPicker& folderPicker() { return *desktop_.folderPicker; }
  platform::HttpFetch& http() { return *desktop_.http; }
  platform::Printing& printing() { return *desktop_.printing; }
  // The check for a newer version, which lives as long as the session.
  VersionCheck& versionCheck() { return *versionCheck_; }

  // The screen's size in pixels; tests stand in for other screens.
  QSize screenSize() const;
  void setScreenSize(QSize size) { screenSize_ = size; }

  // Who is signed in (the name as the user list shows it, and the level).
  users::SignInState signIn;
  // What the search dialog left behind; lives for the whole run.
  search::SearchCriteria searchCriteria;
  // The date last picked in the search dialog's calendar, where the next
  // one starts (today when none).
  QDate lastPickedDate;
  QString CurrentUserName() const { return QString::fromStdString(signIn.CurrentUserName); }
  // Where every printout of this run goes as a new PDF file, with no
  // printer or save dialog (--print-to-pdf); empty: the printer, else a PDF
  // where the user says.
  QString printToPdfFolder;
  // "Don't show this again" was ticked on "Confirm Print Request".
  bool skipPicturePrintQuestion = false;
  // Set once the user has chosen to leave: windows close without asking.
  bool exiting = false;
  // This workstation has been added to the count of running workstations.
  bool workstationCounted = false;
  // While a longer operation runs the change watch looks at nothing; the
  // pauses nest: the watch goes on when the last one ends.
  class WatchPause {
   public:
    explicit WatchPause(int& count) : count_(count) { ++count_; }
    ~WatchPause() { --count_; }
    WatchPause(const WatchPause&) = delete;
    WatchPause& operator=(const WatchPause&) = delete;

   private:
    int& count_;
  };
  [[nodiscard]] WatchPause PauseChangeWatch() { return WatchPause(watchPauses_); }
  bool changeWatchPaused() const { return watchPauses_ > 0; }
  // Ends the program's event loop; tests put a recorder in its place.
  std::function<void()> endProgram;

 private:
  QString programFolder_;
  QSize screenSize_;
  Desktop desktop_;
  int watchPauses_ = 0;
  // Show the data folder's waits and notices and announce its own writes;
  // they go after the folder that names them, before the clock it holds.
  std::unique_ptr<FolderNotes> folderNotes_;
  std::unique_ptr<OwnWrites> ownWrites_;
  files::DataFolder folder_;
  // Goes before the fetch it may be waiting for.
  std::unique_ptr<VersionCheck> versionCheck_;
};

}  // namespace kestrova::gui

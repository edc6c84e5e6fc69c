#include "gui/session/session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <stdexcept>

#include "gui/session/folder_notes.h"
#include "gui/session/own_writes.h"
#include "gui/session/version_check.h"
#include "gui/ui/frm_msg_box.h"
#include "platform/clock.h"

namespace kestrova::gui {

Desktop Desktop::Real() {
  Desktop d;
  d.settings = std::make_unique<platform::QtSettingsStore>();
  d.shell = std::make_unique<platform::QtShell>();
  d.sound = std::make_unique<platform::QtSoundPlayer>();
  d.inputBox = std::make_unique<platform::QtInputBox>();
  d.systemMessage = std::make_unique<platform::QtSystemMessage>();
  d.clock = std::make_unique<platform::SystemClock>();
  d.filePicker = std::make_unique<platform::QtFilePicker>();
  d.folderPicker = std::make_unique<platform::QtFolderPicker>();
  d.http = std::make_unique<platform::QtHttpFetch>();
  d.printing = std::make_unique<platform::QtPrinting>();
  d.messages = std::make_unique<DialogMessageAnswerer>(*d.sound, *d.systemMessage);
  return d;
}

Session::Session(std::filesystem::path dataFolder, Desktop desktop)
    : desktop_(std::move(desktop)), folder_(std::move(dataFolder)) {
  programFolder_ = QCoreApplication::applicationDirPath();
  endProgram = [] { QCoreApplication::exit(0); };
  if (!desktop_.settings || !desktop_.shell || !desktop_.sound || !desktop_.inputBox || !desktop_.systemMessage ||
      !desktop_.messages || !desktop_.clock || !desktop_.filePicker || !desktop_.folderPicker || !desktop_.http ||
      !desktop_.printing) {
    throw std::invalid_argument("A session needs every desktop adapter.");
  }
  folderNotes_ = std::make_unique<FolderNotes>(*this);
  ownWrites_ = std::make_unique<OwnWrites>();
  files::RecordFileOptions options;
  options.clock = desktop_.clock.get();
  options.lock.waiting = [notes = folderNotes_.get()](const files::LockWait& wait) { return notes->Waiting(wait); };
  options.notice = [notes = folderNotes_.get()](const files::FolderNotice& notice) { notes->Notice(notice); };
  options.observer = ownWrites_.get();
  folder_ = files::DataFolder(folder_.path(), std::move(options));
  versionCheck_ = std::make_unique<VersionCheck>(*this);
}

QSize Session::screenSize() const {
  if (screenSize_.isValid()) return screenSize_;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

Session::~Session() = default;

}  // namespace kestrova::gui

#include "gui/session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <stdexcept>

#include "gui/ui/folder_notes.h"
#include "gui/ui/message_dialog.h"
#include "gui/update/version_check.h"
#include "gui/window_flow.h"
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
  d.messages = std::make_unique<DialogMessageAnswerer>(*d.sound, *d.systemMessage);
  return d;
}

Session::Session(std::filesystem::path dataFolder, Desktop desktop)
    : dataFolder_(std::move(dataFolder)), desktop_(std::move(desktop)) {
  programFolder_ = QCoreApplication::applicationDirPath();
  endProgram = [] { QCoreApplication::exit(0); };
  if (!desktop_.settings || !desktop_.shell || !desktop_.sound || !desktop_.inputBox || !desktop_.systemMessage ||
      !desktop_.messages || !desktop_.clock || !desktop_.filePicker || !desktop_.folderPicker || !desktop_.http) {
    throw std::invalid_argument("A session needs every desktop adapter.");
  }
  flow_ = std::make_unique<WindowFlow>(*this);
  folderNotes_ = std::make_unique<FolderNotes>(*this);
  versionCheck_ = std::make_unique<VersionCheck>(*this);
}

QSize Session::screenSize() const {
  if (screenSize_.isValid()) return screenSize_;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

Session::~Session() = default;

}  // namespace kestrova::gui

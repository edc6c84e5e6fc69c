#include "gui/session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

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
  return d;
}

Session::Session(std::filesystem::path dataFolder, Desktop desktop)
    : dataFolder_(std::move(dataFolder)), desktop_(std::move(desktop)) {
  programFolder_ = QCoreApplication::applicationDirPath();
  endProgram = [] { QCoreApplication::exit(0); };
  if (!desktop_.settings) desktop_.settings = std::make_unique<platform::MemorySettingsStore>();
  if (!desktop_.shell) desktop_.shell = std::make_unique<platform::FakeShell>();
  if (!desktop_.sound) desktop_.sound = std::make_unique<platform::FakeSoundPlayer>();
  if (!desktop_.inputBox) desktop_.inputBox = std::make_unique<platform::ScriptedInputBox>();
  if (!desktop_.systemMessage) desktop_.systemMessage = std::make_unique<platform::FakeSystemMessage>();
  if (!desktop_.messages) desktop_.messages = std::make_unique<DialogMessageAnswerer>(*this);
  if (!desktop_.clock) desktop_.clock = std::make_unique<platform::FixedClock>();
  if (!desktop_.filePicker) desktop_.filePicker = std::make_unique<platform::ScriptedFilePicker>();
  flow_ = std::make_unique<WindowFlow>(*this);
}

QSize Session::screenSize() const {
  if (screenSize_.isValid()) return screenSize_;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

Session::~Session() = default;

}  // namespace kestrova::gui

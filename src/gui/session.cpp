#include "gui/session.h"

#include <QCoreApplication>

namespace kestrova::gui {

Desktop Desktop::Real() {
  Desktop d;
  d.settings = std::make_unique<platform::QtSettingsStore>();
  d.shell = std::make_unique<platform::QtShell>();
  d.sound = std::make_unique<platform::QtSoundPlayer>();
  d.inputBox = std::make_unique<platform::QtInputBox>();
  d.systemMessage = std::make_unique<platform::QtSystemMessage>();
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
}

Session::~Session() = default;

}  // namespace kestrova::gui

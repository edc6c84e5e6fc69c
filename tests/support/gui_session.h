#pragma once

#include <memory>

#include "gui/session/session.h"
#include "gui/ui/frm_msg_box.h"
#include "gui/window_flow.h"
#include "platform/clock.h"
#include "platform/http_fetch.h"
#include "platform/input_box.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system_message.h"
#include "support/qt_print.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"

namespace kestrova::testing {

// A session on a fresh data folder with every desktop adapter replaced by a
// double the test can look at.
struct GuiSession {
  GuiSession() : GuiSession(true) {}
  // Another workstation on the same data folder: its own settings and answers.
  explicit GuiSession(const std::filesystem::path& sharedFolder) : GuiSession(true, sharedFolder) {}
  // Version fetches through `http` (a real fetch to the test's own server).
  explicit GuiSession(std::unique_ptr<platform::HttpFetch> http) : GuiSession(true, {}, std::move(http)) {}
  explicit GuiSession(bool scriptedMessages, const std::filesystem::path& sharedFolder = {},
                      std::unique_ptr<platform::HttpFetch> realHttp = nullptr) {
    gui::Desktop d;
    auto s = std::make_unique<platform::MemorySettingsStore>();
    auto sh = std::make_unique<platform::FakeShell>();
    auto so = std::make_unique<platform::FakeSoundPlayer>();
    auto in = std::make_unique<platform::ScriptedInputBox>();
    auto sm = std::make_unique<platform::FakeSystemMessage>();
    auto fp = std::make_unique<platform::ScriptedFilePicker>();
    filePicker = fp.get();
    d.filePicker = std::move(fp);
    auto fo = std::make_unique<platform::ScriptedFolderPicker>();
    folderPicker = fo.get();
    d.folderPicker = std::move(fo);
    settings = s.get();
    shell = sh.get();
    sound = so.get();
    inputBox = in.get();
    systemMessage = sm.get();
    d.settings = std::move(s);
    d.shell = std::move(sh);
    d.sound = std::move(so);
    d.inputBox = std::move(in);
    d.systemMessage = std::move(sm);
    if (scriptedMessages) {
      auto m = std::make_unique<ScriptedMessages>();
      messages = m.get();
      d.messages = std::move(m);
    } else {
      d.messages = std::make_unique<gui::DialogMessageAnswerer>(*sound, *systemMessage);
    }
    auto c = std::make_unique<platform::FixedClock>();
    clock = c.get();
    d.clock = std::move(c);
    auto pr = std::make_unique<platform::RecordingPrinting>();
    printing = pr.get();
    d.printing = std::move(pr);
    if (realHttp) {
      d.http = std::move(realHttp);
    } else {
      auto h = std::make_unique<platform::ScriptedHttpFetch>();
      http = h.get();
      d.http = std::move(h);
    }
    session = std::make_unique<gui::Session>(sharedFolder.empty() ? folder.path() : sharedFolder, std::move(d));
    session->endProgram = [this] { ++programEnded; };
    flow = std::make_unique<gui::WindowFlow>(*session);
  }

  TempFolder folder;
  platform::MemorySettingsStore* settings = nullptr;
  platform::FakeShell* shell = nullptr;
  platform::FakeSoundPlayer* sound = nullptr;
  platform::ScriptedInputBox* inputBox = nullptr;
  platform::FakeSystemMessage* systemMessage = nullptr;
  platform::RecordingPrinting* printing = nullptr;
  platform::ScriptedFilePicker* filePicker = nullptr;
  platform::ScriptedFolderPicker* folderPicker = nullptr;
  platform::ScriptedHttpFetch* http = nullptr;  // null when a real fetch was given
  ScriptedMessages* messages = nullptr;         // null when the real dialog answers
  platform::FixedClock* clock = nullptr;
  int programEnded = 0;
  std::unique_ptr<gui::Session> session;
  // Which window comes next, as the program's own.
  std::unique_ptr<gui::WindowFlow> flow;
};

}  // namespace kestrova::testing

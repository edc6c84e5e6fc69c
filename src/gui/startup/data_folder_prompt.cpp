#include "gui/startup/data_folder_prompt.h"

#include <QString>

#include "core/startup/data_folder.h"
#include "core/startup/sample_reports.h"
#include "gui/ui/message_request.h"
#include "gui/ui/program_names.h"
#include "platform/clock.h"
#include "platform/folder_picker.h"
#include "platform/settings_store.h"

namespace kestrova::gui {
namespace fs = std::filesystem;

namespace {

QString Caption() { return ApplicationTitle() + QStringLiteral(" - Data Folder"); }

QString Native(const fs::path& path) { return QString::fromStdString(path.string()); }

// The folder the dialog opens at: the sample folder when there is one,
// else the home folder, where the dialog can make a new one.
fs::path StartOfDialog(const fs::path& home) {
  const fs::path demo = home / kSampleFolderName;
  std::error_code ec;
  return fs::is_directory(demo, ec) ? demo : home;
}

enum class Answer { Choose, Sample, Quit };

Answer WhatTheUserWants(MessageAnswerer& messages, const QString& problem) {
  const QString title = ApplicationTitle();
  QString text = problem.isEmpty() ? QString() : problem + QStringLiteral("\n\n");
  text += title + QStringLiteral(" keeps its reports, users and logs in one data folder,\n") +
          QStringLiteral("which several workstations may share.\n\n") +
          QStringLiteral("Choose it in the next window: a shared folder, or a new one\n") +
          QStringLiteral("(\"Create New Folder\"). ") + title + QStringLiteral(" will remember it.\n\n") +
          QStringLiteral("Or try ") + title + QStringLiteral(" first on a folder of sample reports,\n") +
          QString::fromLatin1(kSampleFolderName) + QStringLiteral(" in your home folder.");
  const MessageRequest question{
      .caption = Caption(),
      .iconKind = kIconQuestion,
      .message = text,
      .defaultButton = 1,
      .buttons = {QStringLiteral("&Choose, pick the data folder"), QStringLiteral("&Try it with sample reports"),
                  QStringLiteral("&Quit, not now")},
  };
  switch (messages.Answer(question, nullptr).pressedButton) {
    case 1: return Answer::Choose;
    case 2: return Answer::Sample;
    default: return Answer::Quit;
  }
}

void Tell(MessageAnswerer& messages, const std::string& problem) {
  const MessageRequest notice{
      .caption = Caption(),
      .iconKind = kIconError,
      .message = QString::fromStdString(problem),
      .buttons = {QStringLiteral("&Okay")},
  };
  messages.Answer(notice, nullptr);
}

// Makes the sample folder (what it lacks of it) and shows the demo users'
// names and passwords, this once, where they can be copied.
bool MakeSampleFolder(const fs::path& folder, MessageAnswerer& messages) {
  const platform::SystemClock clock;
  const auto made = startup::MakeSampleFolder(files::DataFolder(folder), clock.Now());
  if (!made.ok()) {
    Tell(messages, "The folder of sample reports could not be made: " + made.message());
    return false;
  }
  QString text;
  if (made->users.empty()) {
    text = QStringLiteral("The folder of sample reports, ") + Native(folder) +
           QStringLiteral(", was made before and is used as it is.\n") +
           QStringLiteral("Its users are the ones listed when it was made.");
  } else {
    text = QStringLiteral("The sample reports are in ") + Native(folder) +
           QStringLiteral(".\nSign in as one of these demo users, with the password after the colon;\n") +
           QStringLiteral("they are shown only this once: select them with the mouse and copy them.\n");
    for (const startup::DemoUser& u : made->users) {
      text += QStringLiteral("\n") + QString::fromStdString(u.name) + QStringLiteral(" (") +
              QString::fromStdString(u.level) + QStringLiteral("): ") + QString::fromStdString(u.password);
    }
  }
  messages.Answer({.caption = ApplicationTitle() + QStringLiteral(" - Sample Reports"),
                   .iconKind = kIconInformation,
                   .message = text,
                   .buttons = {QStringLiteral("&Okay")},
                   .copyable = true},
                  nullptr);
  return true;
}

}  // namespace

std::optional<fs::path> RememberedDataFolder(const platform::SettingsStore& settings) {
  const auto stored = settings.Read(QString::fromLatin1(kDataFolderSetting));
  if (!stored || stored->isEmpty()) return std::nullopt;
  return fs::path(stored->toStdString());
}

std::optional<fs::path> SettleDataFolder(const StartFolders& start, platform::SettingsStore& settings,
                                         platform::FolderPicker& picker, MessageAnswerer& messages) {
  const std::optional<fs::path> remembered = RememberedDataFolder(settings);
  const auto choice = startup::ChooseDataFolder(start.commandLine, start.working, start.home, remembered);
  QString problem;
  switch (choice.source) {
    case startup::DataFolderSource::CommandLine:
    case startup::DataFolderSource::WorkingFolder: return choice.folder;
    case startup::DataFolderSource::Remembered: {
      const Status usable = startup::CheckDataFolder(choice.folder);
      if (usable.ok()) return choice.folder;
      problem = QString::fromStdString(usable.message());
      break;
    }
    case startup::DataFolderSource::Ask:
      if (remembered) {
        problem = QStringLiteral("The data folder ") + Native(*remembered) +
                  QStringLiteral(", chosen at an earlier start, is not there any more.");
      }
      break;
  }
  switch (WhatTheUserWants(messages, problem)) {
    case Answer::Quit: return std::nullopt;
    case Answer::Sample: {
      const fs::path sample = start.home / kSampleFolderName;
      if (!MakeSampleFolder(sample, messages)) return std::nullopt;
      settings.Write(QString::fromLatin1(kDataFolderSetting), Native(sample));
      return sample;
    }
    case Answer::Choose: break;
  }

  fs::path dialogStart = StartOfDialog(start.home);
  for (;;) {
    const auto picked = picker.PickFolder(nullptr, Caption(), Native(dialogStart));
    if (!picked) return std::nullopt;
    std::error_code ec;
    const fs::path folder = fs::absolute(fs::path(picked->toStdString()), ec).lexically_normal();
    const Status usable = startup::CheckDataFolder(folder);
    if (usable.ok()) {
      settings.Write(QString::fromLatin1(kDataFolderSetting), Native(folder));
      return folder;
    }
    Tell(messages, usable.message());
    dialogStart = folder;
  }
}

}  // namespace kestrova::gui

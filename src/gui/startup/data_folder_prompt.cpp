#include "gui/startup/data_folder_prompt.h"

#include <QString>

#include "core/startup/data_folder.h"
#include "gui/program_names.h"
#include "gui/ui/message_request.h"
#include "platform/folder_picker.h"
#include "platform/settings_store.h"

namespace kestrova::gui {
namespace fs = std::filesystem;

namespace {

QString Caption() { return ApplicationTitle() + QStringLiteral(" - Data Folder"); }

QString Native(const fs::path& path) { return QString::fromStdString(path.string()); }

// The folder the dialog opens at: the demo folder when there is one, else
// the home folder, where the dialog can make a new one.
fs::path StartOfDialog(const fs::path& home) {
  const fs::path demo = home / "kestrova-demo";
  std::error_code ec;
  return fs::is_directory(demo, ec) ? demo : home;
}

bool WantsToChoose(MessageAnswerer& messages, const QString& problem) {
  const QString title = ApplicationTitle();
  QString text = problem.isEmpty() ? QString() : problem + QStringLiteral("\n\n");
  text += title + QStringLiteral(" keeps its reports, users and logs in one data folder,\n") +
          QStringLiteral("which several workstations may share.\n\n") +
          QStringLiteral("Choose it in the next window: the demo folder, a shared folder,\n") +
          QStringLiteral("or a new one (\"Create New Folder\"). ") + title + QStringLiteral(" will remember it.");
  const MessageRequest question{
      .caption = Caption(),
      .iconKind = kIconQuestion,
      .message = text,
      .defaultButton = 1,
      .buttons = {QStringLiteral("&Choose, pick the data folder"), QStringLiteral("&Quit, not now")},
  };
  return messages.Answer(question, nullptr).pressedButton == 1;
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
  if (!WantsToChoose(messages, problem)) return std::nullopt;

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

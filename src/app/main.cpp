// kestrova: the desktop program.

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/startup/data_folder.h"
#include "core/startup/shipped_files.h"
#include "gui/session/session.h"
#include "gui/startup/data_folder_prompt.h"
#include "gui/ui/program_look.h"
#include "gui/window_flow.h"
#include "platform/access_code_store.h"
#include "platform/instance_guard.h"
#include "platform/settings_store.h"

namespace {

constexpr const char* kUsage =
    "Usage: kestrova [--data-dir DIR] [--print-to-pdf DIR]\n"
    "\n"
    "Kestrova writes, keeps, searches, prints and e-mails incident reports.\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR   the data folder with the reports, users and logs\n"
    "                   (default: the current folder; started in the home\n"
    "                   folder, / or a read-only folder without reports, the\n"
    "                   folder chosen at the first such start, kept in the\n"
    "                   setting DataFolder)\n"
    "  --print-to-pdf DIR\n"
    "                   every printout of this run goes into a new PDF file\n"
    "                   in DIR (report-..., list-..., picture-...pdf; -2,\n"
    "                   -3 added rather than replacing a file), with no\n"
    "                   printer and no save dialog\n"
    "  --reset-access-code\n"
    "                   clear the administrative access code of the data\n"
    "                   folder (asks first); the next administrator to need\n"
    "                   it chooses a new one\n"
    "  --version        print the version and exit\n"
    "  --help           print this text and exit\n";

bool HasDisplay() {
#if defined(__linux__)
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
#else
  return true;
#endif
}

namespace fs = std::filesystem;

// The folder this program's file is in.
fs::path ProgramFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
}

// Where the manual is, for --help.
std::string ManualLine() {
  const std::string name = kestrova::startup::ManualFileName();
  if (const auto manual = kestrova::startup::FindShippedFile(ProgramFolder(), name)) {
    return "The manual: " + manual->string() + "\n";
  }
  return "The manual (" + name + ") was found neither beside the program nor in " +
         (ProgramFolder() / kestrova::startup::ShareFolderFromProgram()).lexically_normal().string() + ".\n";
}

void SetNames() {
  QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrova"));
}

}  // namespace

// Clears the data folder's access code after a confirmation typed on the
// terminal.
int ResetAccessCode(const std::optional<fs::path>& commandLine) {
  SetNames();
  kestrova::platform::QtSettingsStore settings;
  // The folder a start from here would use; when a start would ask, the
  // current folder.
  std::error_code ec;
  const fs::path working = fs::current_path(ec);
  const auto choice = kestrova::startup::ChooseDataFolder(commandLine, working, QDir::homePath().toStdString(),
                                                          kestrova::gui::RememberedDataFolder(settings));
  const fs::path dataDir = choice.source == kestrova::startup::DataFolderSource::Ask ? working : choice.folder;
  const auto folder = kestrova::startup::CheckDataFolder(dataDir);
  if (!folder.ok()) {
    std::cerr << "kestrova: " << folder.message() << "\n";
    return 1;
  }
  kestrova::platform::AccessCodeStore store(settings, fs::absolute(dataDir));
  const auto any = store.AnyStored();
  if (!any.ok()) {
    std::cerr << "kestrova: " << any.message() << "\n";
    return 1;
  }
  if (!*any) {
    std::cout << "No access code is set for the data folder " << dataDir.string() << ".\n";
    return 0;
  }
  std::cout << "This clears Kestrova's administrative access code, kept in\n  " << store.Location().toStdString()
            << "\nfor every workstation using that data folder. The next person to open\n"
               "the user list, the logs or backup/restore chooses a new one.\n"
               "Type YES to clear it: "
            << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  if (answer != "YES") {
    std::cout << "Nothing was changed.\n";
    return 1;
  }
  const auto cleared = store.Clear();
  if (!cleared.ok()) {
    std::cerr << "kestrova: " << cleared.message() << "\n";
    return 1;
  }
  std::cout << "The access code has been cleared.\n";
  return 0;
}

int main(int argc, char** argv) {
  std::optional<fs::path> dataDir;
  bool resetAccessCode = false;
  std::optional<fs::path> printToPdf;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage << "\n" << ManualLine();
      return 0;
    }
    if (arg == "--version") {
      std::cout << "Kestrova " << KESTROVA_VERSION_STRING << "\n";
      return 0;
    }
    if (arg == "--reset-access-code") {
      resetAccessCode = true;
      continue;
    }
    if (arg == "--print-to-pdf" && i + 1 < argc) {
      printToPdf = argv[++i];
    } else if (arg.rfind("--print-to-pdf=", 0) == 0) {
      printToPdf = arg.substr(15);
    } else if (arg == "--data-dir" && i + 1 < argc) {
      dataDir = argv[++i];
    } else if (arg.rfind("--data-dir=", 0) == 0) {
      dataDir = arg.substr(11);
    } else {
      std::cerr << "kestrova: unknown argument '" << arg << "'\nTry 'kestrova --help'.\n";
      return 2;
    }
  }
  if (resetAccessCode) return ResetAccessCode(dataDir);
  if (printToPdf) {
    std::error_code dirError;
    if (!fs::is_directory(*printToPdf, dirError)) {
      std::cerr << "kestrova: --print-to-pdf: " << printToPdf->string() << " is not a folder.\n";
      return 2;
    }
    printToPdf = fs::absolute(*printToPdf);
  }

  if (!HasDisplay()) {
    std::cerr << "kestrova: no graphical display was found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                 "Start it from a desktop session, or give it a virtual display:\n"
                 "  xvfb-run -a kestrova --data-dir DIR\n";
    return 1;
  }

  QApplication app(argc, argv);
  SetNames();
  kestrova::gui::UseProgramLook();
  QApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION_STRING));
  QGuiApplication::setDesktopFileName(QStringLiteral(KESTROVA_APP_ID));

  auto desktop = kestrova::gui::Desktop::Real();
  std::error_code ec;
  const fs::path working = fs::current_path(ec);
  kestrova::platform::LockFileInstanceGuard guard;
  if (!guard.TryAcquire()) {
    // A second start says so before it asks for anything.
    kestrova::gui::Session session(dataDir.value_or(working), std::move(desktop));
    kestrova::gui::WindowFlow flow(session);
    kestrova::gui::StartProgram(flow, session, guard);
    return 0;
  }
  const auto settled = kestrova::gui::SettleDataFolder({dataDir, working, QDir::homePath().toStdString()},
                                                       *desktop.settings, *desktop.folderPicker, *desktop.messages);
  if (!settled) {
    std::cerr << "kestrova: no data folder was chosen.\n";
    return 0;
  }
  const fs::path& dataFolder = *settled;
  const auto folder = kestrova::startup::CheckDataFolder(dataFolder);
  if (!folder.ok()) {
    std::cerr << "kestrova: " << folder.message() << "\n";
    QMessageBox::critical(nullptr, QStringLiteral("Kestrova - Data Folder"), QString::fromStdString(folder.message()));
    return 1;
  }

  kestrova::gui::Session session(fs::absolute(dataFolder), std::move(desktop));
  if (printToPdf) session.printToPdfFolder = QString::fromStdString(printToPdf->string());
  kestrova::gui::WindowFlow flow(session);
  if (!kestrova::gui::StartProgram(flow, session, guard)) return 0;
  return QApplication::exec();
}

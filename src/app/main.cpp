// kestrova: the desktop program.

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/startup/data_folder.h"
#include "gui/session/session.h"
#include "gui/window_flow.h"
#include "platform/access_code_store.h"
#include "platform/instance_guard.h"
#include "platform/settings_store.h"

namespace {

constexpr const char* kUsage =
    "Usage: kestrova [--data-dir DIR]\n"
    "\n"
    "Kestrova writes, keeps, searches, prints and e-mails incident reports.\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR   the data folder with the reports, users and logs\n"
    "                   (default: the current folder)\n"
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

}  // namespace

// Clears the data folder's access code after a confirmation typed on the
// terminal.
int ResetAccessCode(const std::filesystem::path& dataDir) {
  QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrova"));
  const auto folder = kestrova::startup::CheckDataFolder(dataDir);
  if (!folder.ok()) {
    std::cerr << "kestrova: " << folder.message() << "\n";
    return 1;
  }
  kestrova::platform::QtSettingsStore settings;
  kestrova::platform::AccessCodeStore store(settings, std::filesystem::absolute(dataDir));
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
  std::filesystem::path dataDir;
  bool resetAccessCode = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
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
    if (arg == "--data-dir" && i + 1 < argc) {
      dataDir = argv[++i];
    } else if (arg.rfind("--data-dir=", 0) == 0) {
      dataDir = arg.substr(11);
    } else {
      std::cerr << "kestrova: unknown argument '" << arg << "'\nTry 'kestrova --help'.\n";
      return 2;
    }
  }
  if (dataDir.empty()) dataDir = std::filesystem::current_path();
  if (resetAccessCode) return ResetAccessCode(dataDir);

  if (!HasDisplay()) {
    std::cerr << "kestrova: no graphical display was found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                 "Start it from a desktop session, or give it a virtual display:\n"
                 "  xvfb-run -a kestrova --data-dir DIR\n";
    return 1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kestrova"));
  QApplication::setOrganizationName(QStringLiteral("Kestrova"));
  QApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION_STRING));

  const auto folder = kestrova::startup::CheckDataFolder(dataDir);
  if (!folder.ok()) {
    std::cerr << "kestrova: " << folder.message() << "\n";
    QMessageBox::critical(nullptr, QStringLiteral("Kestrova - Data Folder"), QString::fromStdString(folder.message()));
    return 1;
  }

  kestrova::gui::Session session(std::filesystem::absolute(dataDir), kestrova::gui::Desktop::Real());
  kestrova::gui::WindowFlow flow(session);
  kestrova::platform::LockFileInstanceGuard guard;
  if (!kestrova::gui::StartProgram(flow, session, guard)) return 0;
  return QApplication::exec();
}

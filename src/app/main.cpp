// kestrova: the desktop program.

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/startup/data_folder.h"
#include "gui/session.h"
#include "gui/startup/startup.h"
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
    "                   clear the administrative access code (asks first);\n"
    "                   the next administrator to need it chooses a new one\n"
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

// Clears the access code after a confirmation typed on the terminal.
int ResetAccessCode() {
  QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrova"));
  kestrova::platform::QtSettingsStore settings;
  kestrova::platform::AccessCodeStore store(settings);
  if (!store.IsSet()) {
    std::cout << "No access code is set (" << settings.Location().toStdString() << ").\n";
    return 0;
  }
  std::cout << "This clears Kestrova's administrative access code, kept in\n  "
            << settings.Location().toStdString()
            << "\nThe next person to open the user list, the logs or backup/restore\n"
               "chooses a new one. Type YES to clear it: "
            << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  if (answer != "YES") {
    std::cout << "Nothing was changed.\n";
    return 1;
  }
  store.Clear();
  std::cout << "The access code has been cleared.\n";
  return 0;
}

int main(int argc, char** argv) {
  std::filesystem::path dataDir;
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
    if (arg == "--reset-access-code") return ResetAccessCode();
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
    QMessageBox::critical(nullptr, QStringLiteral("Kestrova - Data Folder"),
                          QString::fromStdString(folder.message()));
    return 1;
  }

  kestrova::gui::Session session(std::filesystem::absolute(dataDir), kestrova::gui::Desktop::Real());
  kestrova::platform::LockFileInstanceGuard guard;
  if (!kestrova::gui::StartProgram(session, guard)) return 0;
  return QApplication::exec();
}

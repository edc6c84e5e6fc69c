#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/backup/backup.h"
#include "core/ui/message.h"

// What the administrative window says around a backup or a restore: its
// menu, captions, folder prompts, questions and notices.
namespace kestrova::backup {

enum class Procedure { Backup, Restore };

using Message = ui::Message;

// The backup/restore menu: item 1 (bold, the default) backs up, item 2
// restores, item 3 is a separator (empty), item 4 does nothing.
inline constexpr std::array<std::string_view, 4> kBackupRestoreMenu = {
    "&Backup the Zeviduri data files", "&Restore the Zeviduri data files", "", "E&xit this menu"};

// The window's caption while a procedure runs ("Kestrova - Data Backup Procedure").
std::string ProcedureCaption(Procedure procedure, std::string_view title);
// The folder picker's prompt, its lines separated by "\n".
std::string FolderPrompt(Procedure procedure, std::string_view title);
// The window's caption while a file is copied ("Copying User.List...", "Restoring User.List").
std::string CopyingCaption(Procedure procedure, std::string_view fileName);
// A folder as the messages show it, ending in a separator.
std::string ShownFolder(const std::filesystem::path& folder);

// Why a plan stops, when it does.
std::optional<Message> PlanNotice(const BackupPlan& plan, std::string_view title);
std::optional<Message> PlanNotice(const RestorePlan& plan, const std::filesystem::path& source, std::string_view title);
// The question before a backup: "Caution" when the folder holds other
// files, else "Ready to Backup...". The first button goes ahead.
Message BackupQuestion(const BackupPlan& plan, const std::filesystem::path& target);
// The question before a restore that replaces a data file; the first
// button goes ahead.
std::optional<Message> RestoreQuestion(const RestorePlan& plan);
// What a finished procedure tells: success, or which file failed and why.
Message OutcomeNotice(Procedure procedure, const Outcome& outcome, const std::filesystem::path& folder,
                      std::string_view title);

}  // namespace kestrova::backup

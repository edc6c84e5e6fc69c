#include "core/backup/backup_texts.h"

namespace kestrova::backup {
namespace {

constexpr int kError = 2;
constexpr int kQuestion = 3;
constexpr int kWarning = 4;
constexpr int kInformation = 5;

std::string Cancel(Procedure procedure) {
  return procedure == Procedure::Backup ? "Cancel backup procedure" : "Cancel restore procedure";
}

Message Notice(Procedure procedure, std::string caption, int icon, std::vector<std::string> lines) {
  return Message{std::move(caption), icon, std::move(lines), {"&" + Cancel(procedure)}, 1};
}

void AddReason(Message& message, const std::string& reason) {
  if (reason.empty()) return;
  message.lines.emplace_back();
  message.lines.push_back(reason);
}

Message SameFolderNotice(Procedure procedure, std::string_view title) {
  const std::string verb = procedure == Procedure::Backup ? "backup " : "restore ";
  return Notice(procedure, "Invalid Procedure", kError,
                {"You can not " + verb + std::string(title), "data to itself in the same folder!"});
}

Message FolderProblemNotice(Procedure procedure, const std::string& reason) {
  Message message = procedure == Procedure::Backup
                        ? Notice(procedure, "Drive or Folder Access Problem", kWarning,
                                 {"There is some kind of problem trying to", "access the selected backup location",
                                  "that you specified..."})
                        : Notice(procedure, "Drive or Folder Access Problem", kWarning,
                                 {"There is some kind of problem trying to", "access the backed up data file at",
                                  "the location that you specified..."});
  AddReason(message, reason);
  return message;
}

// 'folder', built by appending: GCC 12 at -O3 takes `"'" + std::string&&`
// for an overlapping copy (-Wrestrict).
std::string Quoted(const std::string& text) {
  std::string quoted(1, '\'');
  quoted += text;
  quoted += '\'';
  return quoted;
}

Message RequiredMissingNotice(const std::filesystem::path& source, std::string_view title) {
  return Notice(Procedure::Restore, "Required file(s) missing", kWarning,
                {Quoted(ShownFolder(source)), "", "doesn't appear to contain previously saved",
                 "backup data file(s) that you need to restore", "your " + std::string(title) + " data."});
}

Message FileErrorNotice(Procedure procedure, const std::string& fileName, const std::string& reason) {
  const std::string name = fileName.empty() ? "the data files" : fileName;
  Message message = procedure == Procedure::Backup
                        ? Notice(procedure, "File Backup Error", kWarning,
                                 {"There is some kind of problem", "trying to copy " + name})
                        : Notice(procedure, "File Restore Error", kWarning,
                                 {"There is some kind of problem", "trying to restore " + name});
  AddReason(message, reason);
  return message;
}

}  // namespace

std::string ProcedureCaption(Procedure procedure, std::string_view title) {
  return std::string(title) +
         (procedure == Procedure::Backup ? " - Data Backup Procedure" : " - Data Restoration Procedure");
}

std::string FolderPrompt(Procedure procedure, std::string_view title) {
  const std::string t(title);
  if (procedure == Procedure::Backup)
    return "Select a disk/drive/folder to copy (backup)\nyour " + t + " data files to...";
  return "Select the disk/drive/folder that contains your\npreviously backed up " + t +
         " data files\nthat you wish to restore...";
}

std::string CopyingCaption(Procedure procedure, std::string_view fileName) {
  return procedure == Procedure::Backup ? "Copying " + std::string(fileName) + "..."
                                        : "Restoring " + std::string(fileName);
}

std::string ShownFolder(const std::filesystem::path& folder) {
  std::string text = folder.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

std::optional<Message> PlanNotice(const BackupPlan& plan, std::string_view title) {
  switch (plan.stop) {
    case Stop::SameFolder: return SameFolderNotice(Procedure::Backup, title);
    case Stop::FolderProblem: return FolderProblemNotice(Procedure::Backup, plan.reason);
    default: return std::nullopt;
  }
}

std::optional<Message> PlanNotice(const RestorePlan& plan, const std::filesystem::path& source,
                                  std::string_view title) {
  switch (plan.stop) {
    case Stop::SameFolder: return SameFolderNotice(Procedure::Restore, title);
    case Stop::FolderProblem: return FolderProblemNotice(Procedure::Restore, plan.reason);
    case Stop::RequiredMissing: return RequiredMissingNotice(source, title);
    case Stop::Refused: {
      Message message = FileErrorNotice(Procedure::Restore, plan.refusedFile, plan.reason);
      message.lines.emplace_back();
      message.lines.emplace_back("Nothing was restored.");
      return message;
    }
    case Stop::None: return std::nullopt;
  }
  return std::nullopt;
}

Message BackupQuestion(const BackupPlan& plan, const std::filesystem::path& target) {
  const std::string folder = Quoted(ShownFolder(target));
  const std::string no = "&No, " + Cancel(Procedure::Backup);
  if (plan.holdsOtherFiles) {
    return Message{"Caution",
                   kQuestion,
                   {"The data backup location you selected:", "", folder, "",
                    "contains files that are not related to this software!", "",
                    "Are you sure you still wish to continue with this backup?"},
                   {"&Yes, Continue", no},
                   2};
  }
  return Message{
      "Ready to Backup...",
      kInformation,
      {"You have selected:", "", folder, "", "as your data backup location.", "", "Are you ready to proceed?"},
      {"&Yes, Backup the files now", no},
      2};
}

std::optional<Message> RestoreQuestion(const RestorePlan& plan) {
  if (!plan.replacesDataFile) return std::nullopt;
  return Message{"Important! Please read carefully...",
                 kInformation,
                 {"You are about to replace your current data files", "with previously made backup data files.", "",
                  "Once completed, this action can not be undone.", "", "Are you sure you're ready to continue?"},
                 {"&Yes, Restore the files now", "&No, " + Cancel(Procedure::Restore)},
                 2};
}

Message OutcomeNotice(Procedure procedure, const Outcome& outcome, const std::filesystem::path& folder,
                      std::string_view title) {
  using Kind = Outcome::Kind;
  const std::string t(title);
  switch (outcome.kind) {
    case Kind::Done: {
      Message message =
          procedure == Procedure::Backup
              ? Message{"Backup Successful",
                        kInformation,
                        {"Your current " + t + " data files", "have been successfully backed up!"},
                        {"&Continue"},
                        1}
              : Message{"Restore Successful",
                        kInformation,
                        {"Your previously backed up ", t + " data files", "have been successfully restored!"},
                        {"&Continue"},
                        1};
      if (!outcome.keptLogs.empty()) {
        message.lines.emplace_back();
        message.lines.emplace_back("The activity logs as they were before the restore");
        message.lines.emplace_back("are kept beside the restored ones as:");
        for (const KeptLog& kept : outcome.keptLogs) message.lines.push_back("'" + kept.keptAs + "'");
      }
      AddReason(message, outcome.reason);
      return message;
    }
    case Kind::SameFolder: return SameFolderNotice(procedure, title);
    case Kind::FolderProblem: return FolderProblemNotice(procedure, outcome.reason);
    case Kind::RequiredMissing: return RequiredMissingNotice(folder, title);
    case Kind::Refused:
    case Kind::Failed:
    case Kind::KeptChanging: {
      Message message = FileErrorNotice(procedure, outcome.fileName, outcome.reason);
      message.lines.emplace_back();
      message.lines.emplace_back(procedure == Procedure::Backup
                                     ? "Nothing in the backup folder was changed."
                                     : "Nothing was restored: the data files are as they were.");
      return message;
    }
    case Kind::Mixed: {
      Message message = FileErrorNotice(procedure, outcome.fileName, outcome.reason);
      message.lines.emplace_back();
      message.lines.emplace_back("These files could not be put back as they were:");
      for (const auto& left : outcome.notUndone) {
        message.lines.push_back(left.keptAs.empty()
                                    ? "'" + left.fileName + "' (new; there was none before)"
                                    : "'" + left.fileName + "' (new; the one before is '" + left.keptAs + "')");
      }
      return message;
    }
  }
  return {};
}

}  // namespace kestrova::backup

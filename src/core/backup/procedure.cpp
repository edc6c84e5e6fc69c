#include "core/backup/procedure.h"

#include <utility>

namespace kestrova::backup {

ProcedureRun::ProcedureRun(Procedure procedure, std::filesystem::path dataFolder, std::string title, ProcedureHost host,
                           ProcedureOptions options)
    : procedure_(procedure),
      dataFolder_(std::move(dataFolder)),
      title_(std::move(title)),
      host_(std::move(host)),
      options_(std::move(options)) {}

int ProcedureRun::Ask(const Message& message) { return host_.ask ? host_.ask(message) : 0; }

void ProcedureRun::Finish(Ending ending) {
  ending_ = ending;
  stage_ = Stage::Finished;
  if (host_.setCaption) host_.setCaption(keptCaption_);
}

bool ProcedureRun::Advance() {
  const bool backup = procedure_ == Procedure::Backup;
  switch (stage_) {
    case Stage::ChooseFolder: {
      if (host_.caption) keptCaption_ = host_.caption();
      if (host_.setCaption) host_.setCaption(ProcedureCaption(procedure_, title_));
      std::optional<std::filesystem::path> chosen;
      if (host_.chooseFolder) chosen = host_.chooseFolder(FolderPrompt(procedure_, title_));
      if (!chosen || chosen->empty()) {
        Finish(Ending::Cancelled);
        break;
      }
      folder_ = *chosen;
      stage_ = Stage::Examine;
      break;
    }
    case Stage::Examine: {
      std::optional<Message> notice;
      if (backup) {
        backupPlan_ = PlanBackup(dataFolder_, folder_);
        notice = PlanNotice(backupPlan_, title_);
      } else {
        restorePlan_ = PlanRestore(dataFolder_, folder_);
        notice = PlanNotice(restorePlan_, folder_, title_);
      }
      if (notice) {
        Ask(*notice);
        Finish(Ending::Stopped);
        break;
      }
      stage_ = Stage::Confirm;
      break;
    }
    case Stage::Confirm: {
      const std::optional<Message> question =
          backup ? std::optional<Message>(BackupQuestion(backupPlan_, folder_)) : RestoreQuestion(restorePlan_);
      if (question && Ask(*question) != 1) {
        Finish(Ending::Declined);
        break;
      }
      stage_ = Stage::Copy;
      break;
    }
    case Stage::Copy: {
      const std::string caption = ProcedureCaption(procedure_, title_);
      ProcedureOptions options = options_;
      if (host_.wait) options.wait = host_.wait;
      options.progress = [this, own = options_.progress](const Progress& progress) {
        if (own) own(progress);
        if (progress.step == Progress::Step::Copying && progress.bytesDone == 0 && host_.setCaption) {
          host_.setCaption(CopyingCaption(procedure_, progress.fileName));
        }
        if (host_.progress) host_.progress(progress);
      };
      if (host_.setBusy) host_.setBusy(true);
      if (!backup) reloadUsers_ = true;
      outcome_ = backup ? RunBackup(dataFolder_, folder_, options) : RunRestore(dataFolder_, folder_, options);
      if (host_.setCaption) host_.setCaption(caption);
      if (host_.setBusy) host_.setBusy(false);
      stage_ = Stage::Report;
      break;
    }
    case Stage::Report:
      Ask(OutcomeNotice(procedure_, *outcome_, folder_, title_));
      Finish(outcome_->ok() ? Ending::Succeeded : Ending::Failed);
      break;
    case Stage::Finished: break;
  }
  return stage_ != Stage::Finished;
}

ProcedureRun::Ending ProcedureRun::Run() {
  while (Advance()) {
  }
  return ending_;
}

std::optional<Procedure> MenuItemProcedure(int item) {
  if (item == 1) return Procedure::Backup;
  if (item == 2) return Procedure::Restore;
  return std::nullopt;
}

}  // namespace kestrova::backup

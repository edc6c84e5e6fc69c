#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "core/backup/backup.h"
#include "core/backup/procedure_steps.h"
#include "core/backup/staged_copy.h"
#include "core/files/change_counter.h"
#include "core/files/file.h"
#include "core/files/record_file.h"
#include "core/reports/report_index.h"
#include "core/reports/report_record.h"
#include "core/startup/data_file_upgrade.h"
#include "core/time/date_format.h"
#include "core/users/access_code_file.h"
#include "core/users/user_list.h"
#include "core/users/user_record.h"

namespace kestrova::backup {
namespace {

namespace fs = std::filesystem;

fs::path OrHere(const fs::path& folder) { return folder.empty() ? fs::path(".") : folder; }

Status NotOurs(std::string_view name, const std::string& why) {
  return Error{Error::Kind::Damaged, std::string(name) + " in the backup folder " + why};
}

Status CheckDataFile(const files::File& file) {
  const std::string_view name = kCarriedFiles[0];
  auto size = file.Size();
  if (!size.ok()) return size.error();
  if (*size == 0) return NotOurs(name, "is empty: it holds no reports.");
  auto state = startup::ClassifyDataFileContents(file);
  if (!state.ok()) return state.error();
  std::size_t recordSize = reports::kReportRecordSize;
  switch (*state) {
    case startup::DataFileState::Current:
      if (*size % recordSize != 0) {
        return NotOurs(name, "ends in part of a report: " + std::to_string(*size) + " bytes is not a whole number of " +
                                 std::to_string(recordSize) + "-byte reports.");
      }
      if (*size / recordSize > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return NotOurs(name, "is too large to be a data file.");
      }
      break;
    case startup::DataFileState::Version3: recordSize = startup::kVersion3RecordSize; break;
    case startup::DataFileState::Version2: recordSize = startup::kVersion2RecordSize; break;
    default:
      return NotOurs(name,
                     "is not a data file of this program, nor of an earlier release that signing in converts: its "
                     "first report does not carry a program version from 411 to 498.");
  }
  if (!files::CheckNotHollow(file, recordSize, std::string(name)).ok()) {
    return NotOurs(name, "is damaged: parts of it were never written, or its reports hold nothing but zero bytes.");
  }
  return {};
}

Status CheckUserList(const files::File& file) {
  const std::string_view name = kCarriedFiles[1];
  auto size = file.Size();
  if (!size.ok()) return size.error();
  if (*size == 0) return NotOurs(name, "is empty: it holds no users.");
  if (*size % users::kUserRecordSize != 0) {
    return NotOurs(name, "ends in part of a user: " + std::to_string(*size) + " bytes is not a whole number of " +
                             std::to_string(users::kUserRecordSize) + "-byte users.");
  }
  if (*size / users::kUserRecordSize > users::kMostUsers) return NotOurs(name, "is too large to be a user list.");
  if (!files::CheckNotHollow(file, users::kUserRecordSize, std::string(name)).ok()) {
    return NotOurs(name, "is damaged: parts of it were never written, or its users hold nothing but zero bytes.");
  }
  constexpr std::size_t kPerBlock = 2048;
  std::vector<char> bytes(kPerBlock * users::kUserRecordSize);
  const std::uint64_t count = *size / users::kUserRecordSize;
  for (std::uint64_t first = 0; first < count; first += kPerBlock) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kPerBlock, count - first));
    Status read = file.ReadAt(first * users::kUserRecordSize, bytes.data(), n * users::kUserRecordSize);
    if (!read.ok()) return read;
    for (std::size_t i = 0; i < n; ++i) {
      const std::int16_t level = users::DecodeUserRecord(bytes.data() + i * users::kUserRecordSize).AccessLevel;
      if (level < 1 || level > 4) {
        return NotOurs(name, "is damaged: user number " + std::to_string(first + i + 1) + " has the access level " +
                                 std::to_string(level) + ", where levels are 1 to 4.");
      }
    }
  }
  return {};
}

Status CheckAccessCode(const files::File& file) {
  auto text = users::ReadAccessCodeText(file);
  if (!text.ok()) return NotOurs(kCarriedFiles[7], "is not an access code file of this program.");
  if (!users::AccessHashFormOf(*text))
    return NotOurs(kCarriedFiles[7], "holds an access code this program cannot check.");
  return {};
}

}  // namespace

Status detail::CheckRestorable(std::string_view name, const files::File& file) {
  if (name == kCarriedFiles[0]) return CheckDataFile(file);
  if (name == kCarriedFiles[1]) return CheckUserList(file);
  if (name == kCarriedFiles[7]) return CheckAccessCode(file);
  return {};
}

RestorePlan PlanRestore(const fs::path& dataFolder, const fs::path& source) {
  RestorePlan plan;
  if (auto same = SameFolder(dataFolder, source); same.ok() && *same) {
    plan.stop = Stop::SameFolder;
    return plan;
  }
  if (Status listed = detail::CanList(source); !listed.ok()) {
    plan.stop = Stop::FolderProblem;
    plan.reason = listed.message();
    return plan;
  }
  for (std::string_view name : kCarriedFiles) {
    auto exists = files::RegularFileExists(OrHere(source) / name);
    if (!exists.ok()) {
      plan.stop = exists.error().kind == Error::Kind::Damaged ? Stop::Refused : Stop::FolderProblem;
      plan.refusedFile = std::string(name);
      plan.reason = exists.message();
      return plan;
    }
    (*exists ? plan.toRestore : plan.skipped).emplace_back(name);
  }
  if (plan.toRestore.empty() || plan.toRestore.front() != kCarriedFiles[0]) {
    plan.stop = Stop::RequiredMissing;
    return plan;
  }
  for (const std::string& name : plan.toRestore) {
    auto file = files::File::Open(OrHere(source) / name, files::OpenMode::Read);
    Status usable = file.ok() ? detail::CheckRestorable(name, *file) : file.status();
    if (!usable.ok()) {
      plan.stop = usable.error().kind == Error::Kind::Damaged ? Stop::Refused : Stop::FolderProblem;
      plan.refusedFile = name;
      plan.reason = usable.message();
      return plan;
    }
  }
  auto current = files::RegularFileExists(OrHere(dataFolder) / kCarriedFiles[0]);
  plan.replacesDataFile = !current.ok() || *current;
  return plan;
}

namespace {

// "<name>.before-restore-yyyymmddhhnnss" of the moment, or of a second
// later while that is taken.
Result<fs::path> KeptLogPath(const fs::path& folder, std::string_view name, const time::DateTime& now) {
  double moment = time::ToOleDate(now);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto at = time::FromOleDate(moment);
    if (!at) break;
    const fs::path candidate = folder / (std::string(name) + std::string(kBeforeRestoreSuffix) +
                                         time::FormatDateTime(*at, time::kControlNumberFormat));
    auto taken = IdentityOf(candidate);
    if (!taken.ok()) return taken.error();
    if (!*taken) return candidate;
    moment += 1.0 / 86400.0;
  }
  return Error{Error::Kind::Conflict, "Cannot find a free name to keep " + std::string(name) + " under."};
}

}  // namespace

Outcome RunRestore(const fs::path& dataFolder, const fs::path& source, const ProcedureOptions& options) {
  using Kind = Outcome::Kind;
  const RestorePlan plan = PlanRestore(dataFolder, source);
  switch (plan.stop) {
    case Stop::None: break;
    case Stop::SameFolder: return detail::Stopped(Kind::SameFolder, "", "", {});
    case Stop::FolderProblem: return detail::Stopped(Kind::FolderProblem, plan.refusedFile, plan.reason, {});
    case Stop::RequiredMissing: return detail::Stopped(Kind::RequiredMissing, "", "", {});
    case Stop::Refused: return detail::Stopped(Kind::Refused, plan.refusedFile, plan.reason, {});
  }
  if (!options.clock) return detail::Stopped(Kind::Failed, "", "No clock to name the kept logs by.", {});
  const fs::path folder = OrHere(dataFolder);
  std::vector<StagedCopy> copies;
  copies.reserve(plan.toRestore.size());
  const auto stop = [&](Kind kind, const std::string& name, const std::string& reason) {
    std::vector<StagedCopy*> all;
    for (StagedCopy& copy : copies) all.push_back(&copy);
    return detail::Stopped(kind, name, reason, all);
  };

  // Every file to a temporary name in the data folder, checked, without
  // the lock: other workstations go on working meanwhile.
  for (const std::string& name : plan.toRestore) {
    detail::Tell(options, Progress::Step::Copying, name);
    auto like = IdentityOf(folder / name);
    if (!like.ok()) return stop(Kind::Failed, name, like.message());
    auto copy = StagedCopy::Begin(OrHere(source) / name, detail::CopyingPath(folder, name));
    if (!copy.ok()) return stop(Kind::Failed, name, copy.message());
    copies.push_back(std::move(*copy));
    StagedCopy& staged = copies.back();
    Status copied = staged.Copy(std::nullopt, [&](std::uint64_t done) {
      detail::Tell(options, Progress::Step::Copying, name, done, staged.source().size);
    });
    if (!copied.ok()) return stop(Kind::Failed, name, copied.message());
    if (staged.sourceReplaced()) {
      return stop(Kind::Failed, name, "It changed in the backup folder while it was being copied.");
    }
    bool refused = false;
    Status finished = staged.Finish(
        [&](const files::File& file) {
          Status usable = detail::CheckRestorable(name, file);
          refused = !usable.ok();
          return usable;
        },
        *like);
    if (!finished.ok()) return stop(refused ? Kind::Refused : Kind::Failed, name, finished.message());
    if (options.copied) options.copied(name, 1);
  }

  // The logs it replaces are kept.
  const time::DateTime now = options.clock->Now();
  std::vector<Placement> placements;
  std::vector<KeptLog> kept;
  for (const std::string& name : detail::InstallOrder(plan.toRestore)) {
    const auto at = std::find(plan.toRestore.begin(), plan.toRestore.end(), name) - plan.toRestore.begin();
    Placement placement{&copies[static_cast<std::size_t>(at)], folder / name, {}};
    auto current = IdentityOf(folder / name);
    if (!current.ok()) return stop(Kind::Failed, name, current.message());
    if (detail::IsLog(name) && *current) {
      auto keptAs = KeptLogPath(folder, name, now);
      if (!keptAs.ok()) return stop(Kind::Failed, name, keptAs.message());
      placement.keepOldAs = *keptAs;
      kept.push_back({name, keptAs->filename().string()});
    }
    placements.push_back(std::move(placement));
  }

  // The renames, under the lock.
  detail::Tell(options, Progress::Step::Installing);
  auto lock = files::FolderLock::Acquire(folder, options.lock);
  if (!lock.ok()) return stop(Kind::Failed, "", lock.message());
  if (options.observer) options.observer->AboutToWrite(folder);
  // The list's index describes the data file being replaced: a restored
  // file with the same size and time must never be read through it.
  (void)files::RemoveFile(folder / reports::kIndexFileName);
  auto failure = InstallAll(placements, options.renamePatience, [&] { return lock->CheckStillOurs(); });
  if (failure) {
    // Files were put in place and back: other workstations look again.
    if (!failure->undone.empty() || !failure->notUndone.empty()) (void)files::BumpChangeCounter(folder);
    Outcome failed = stop(failure->notUndone.empty() ? Kind::Failed : Kind::Mixed, failure->fileName, failure->reason);
    for (const auto& left : failure->notUndone) failed.notUndone.push_back({left.fileName, left.keptAs});
    return failed;
  }
  Outcome outcome;
  outcome.copied = plan.toRestore;
  outcome.skipped = plan.skipped;
  outcome.keptLogs = kept;
  if (auto bumped = files::BumpChangeCounter(folder); !bumped.ok()) {
    outcome.reason =
        "Other workstations may not see the restored files until they refresh their lists: " + bumped.message();
  } else if (options.observer && lock->CheckStillOurs().ok()) {
    options.observer->Committed(folder);
  }
  return outcome;
}

}  // namespace kestrova::backup

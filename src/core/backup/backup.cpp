#include "core/backup/backup.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <thread>

#include "core/backup/procedure_steps.h"
#include "core/backup/staged_copy.h"
#include "core/files/change_counter.h"
#include "core/files/file.h"
#include "core/files/file_system.h"

namespace kestrova::backup {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path OrHere(const fs::path& folder) { return folder.empty() ? fs::path(".") : folder; }

// A file made in `a` and looked for in `b`: another mount of one folder has
// another device and inode, but shows the same files.
bool ShowsFilesOf(const fs::path& a, const fs::path& b) {
  std::random_device device;
  char token[17];
  std::snprintf(token, sizeof token, "%08x%08x", device(), device());
  const std::string name = std::string("Kestrova.SameFolder-") + token;
  const int fd = files::Sys().Open(OrHere(a) / name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  files::Sys().Close(fd);
  struct stat st {};
  const bool seen = files::Sys().LStat(OrHere(b) / name, &st) == 0;
  (void)files::UnlinkPatiently(OrHere(a) / name, std::chrono::milliseconds(1000));
  return seen;
}

}  // namespace

namespace detail {

Status CanList(const fs::path& folder) {
  std::error_code ec;
  fs::directory_iterator it(OrHere(folder), ec);
  if (!ec) {
    for (; it != fs::directory_iterator(); it.increment(ec)) {
      if (ec) break;
    }
  }
  if (ec) return Error{Error::Kind::Io, "Cannot list the files of " + folder.string() + ": " + ec.message() + "."};
  return {};
}

std::vector<std::string> InstallOrder(const std::vector<std::string>& names) {
  std::vector<std::string> order;
  for (const auto& name : names) {
    if (name != kCarriedFiles[0]) order.push_back(name);
  }
  if (std::find(names.begin(), names.end(), kCarriedFiles[0]) != names.end()) order.emplace_back(kCarriedFiles[0]);
  return order;
}

Outcome Stopped(Outcome::Kind kind, std::string fileName, std::string reason, std::vector<StagedCopy*> copies) {
  for (StagedCopy* copy : copies) {
    if (copy) copy->Discard();
  }
  Outcome outcome;
  outcome.kind = kind;
  outcome.fileName = std::move(fileName);
  outcome.reason = std::move(reason);
  return outcome;
}

}  // namespace detail

Result<bool> SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  const bool same = fs::equivalent(OrHere(a), OrHere(b), ec);
  if (ec) return Error{Error::Kind::Io, "Cannot look at the folder: " + ec.message() + "."};
  return same || ShowsFilesOf(a, b);
}

BackupPlan PlanBackup(const fs::path& dataFolder, const fs::path& target) {
  BackupPlan plan;
  if (auto same = SameFolder(dataFolder, target); same.ok() && *same) {
    plan.stop = Stop::SameFolder;
    return plan;
  }
  std::error_code ec;
  bool files = false;
  bool dataFile = false;
  fs::directory_iterator it(OrHere(target), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code kind;
    if (it->symlink_status(kind).type() == fs::file_type::directory) continue;
    files = true;
    if (it->path().filename() == kCarriedFiles[0]) dataFile = true;
  }
  if (ec) {
    plan.stop = Stop::FolderProblem;
    plan.reason = ec.message();
    return plan;
  }
  plan.holdsOtherFiles = files && !dataFile;
  for (std::string_view name : kCarriedFiles) {
    // A name that cannot be looked at is copied, and its error told then.
    auto exists = files::RegularFileExists(OrHere(dataFolder) / name);
    (exists.ok() && !*exists ? plan.skipped : plan.toCopy).emplace_back(name);
  }
  return plan;
}

namespace {

struct Item {
  std::string name;
  bool log = false;
  std::optional<StagedCopy> copy;
  std::optional<std::uint64_t> upTo;  // a log: its length under the lock
  bool changed = false;
};

// How a pause is spent.
void Pause(const ProcedureOptions& options, std::chrono::milliseconds pause) {
  if (pause <= std::chrono::milliseconds::zero()) return;
  if (options.wait) {
    options.wait(pause);
  } else {
    std::this_thread::sleep_for(pause);
  }
}

// A log's length now, asked of its file system, while the name still
// stands for the file copied. Nothing when the log was replaced or cut.
Result<std::optional<std::uint64_t>> LogLength(const fs::path& path, const StagedCopy& copy) {
  auto file = files::File::Open(path, files::OpenMode::Read);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return std::optional<std::uint64_t>();
    return file.error();
  }
  auto size = file->Size();
  if (!size.ok()) return size.error();
  auto id = IdentityOf(path);
  if (!id.ok()) return id.error();
  if (!*id || !(*id)->SameFile(copy.source()) || !file->StillNamed() || copy.sourceReplaced() ||
      *size < copy.copied()) {
    return std::optional<std::uint64_t>();
  }
  return std::optional<std::uint64_t>(*size);
}

}  // namespace

Outcome RunBackup(const fs::path& dataFolder, const fs::path& target, const ProcedureOptions& options) {
  using Kind = Outcome::Kind;
  auto same = SameFolder(dataFolder, target);
  if (!same.ok()) return detail::Stopped(Kind::FolderProblem, "", same.message(), {});
  if (*same) return detail::Stopped(Kind::SameFolder, "", "", {});
  if (Status listed = detail::CanList(target); !listed.ok()) {
    return detail::Stopped(Kind::FolderProblem, "", listed.message(), {});
  }
  const fs::path folder = OrHere(dataFolder);
  std::vector<Item> items;
  for (std::string_view name : kCarriedFiles)
    items.push_back(Item{std::string(name), detail::IsLog(name), {}, {}, false});
  const auto stop = [&](Kind kind, const std::string& name, const std::string& reason) {
    std::vector<StagedCopy*> copies;
    for (Item& item : items) copies.push_back(item.copy ? &*item.copy : nullptr);
    return detail::Stopped(kind, name, reason, copies);
  };

  // A fresh copy of one file; a file that is not there has none.
  const auto copyAfresh = [&](Item& item, bool paced) -> Status {
    if (item.copy) item.copy->Discard();
    item.copy.reset();
    item.upTo.reset();
    const fs::path path = folder / item.name;
    auto exists = files::RegularFileExists(path);
    if (!exists.ok()) return exists.error();
    if (!*exists) return {};
    detail::Tell(options, Progress::Step::Copying, item.name);
    if (paced) Pause(options, options.pace);
    auto copy = StagedCopy::Begin(path, detail::CopyingPath(target, item.name));
    if (!copy.ok()) return copy.error();
    item.copy.emplace(std::move(*copy));
    return item.copy->Copy(std::nullopt, [&](std::uint64_t done) {
      detail::Tell(options, Progress::Step::Copying, item.name, done, item.copy->source().size);
    });
  };

  // A changed file brought up to date: only what differs is rewritten when
  // it was changed in place, else it is copied afresh (never under the
  // lock: `deadline` is the locked pass's). False when that did not get
  // through; the next look under the lock tells what to do.
  const auto update = [&](Item& item, std::optional<Clock::time_point> deadline) -> Result<bool> {
    if (!item.log && item.copy && !item.copy->sourceReplaced()) {
      auto refreshed = item.copy->Refresh(deadline, [&](std::uint64_t done) {
        detail::Tell(options, Progress::Step::Copying, item.name, done, item.copy->source().size);
      });
      if (!refreshed.ok() || *refreshed || !item.copy->sourceReplaced()) return refreshed;
    }
    if (deadline) return false;
    if (Status copied = copyAfresh(item, false); !copied.ok()) return copied.error();
    return true;
  };
  const auto refreshable = [](const Item& item) {
    return !item.changed || (!item.log && item.copy && !item.copy->sourceReplaced());
  };

  auto counter = files::ReadChangeCounter(folder);
  if (!counter.ok()) return stop(Kind::Failed, std::string(files::kChangesFileName), counter.message());
  std::uint64_t counterSeen = *counter;
  int copiedAgain = 0;
  for (Item& item : items) {
    if (Status copied = copyAfresh(item, true); !copied.ok()) return stop(Kind::Failed, item.name, copied.message());
    if (options.copied && item.copy) options.copied(item.name, 1);
  }

  // How long the last bringing up to date without the lock took; the
  // longest there is when it was not one (a first copy, a fresh one).
  Clock::duration lastPass = Clock::duration::max();
  bool lockedPassFailed = false;
  bool lockedPass = false;
  Clock::duration longestHeld{};
  int round = 1;
  for (;; ++round) {
    // Under the lock: did anything change while it was copied?
    detail::Tell(options, Progress::Step::Checking);
    bool anyChanged = false;
    lockedPass = false;
    {
      auto lock = files::FolderLock::Acquire(folder, options.lock);
      if (!lock.ok()) return stop(Kind::Failed, "", lock.message());
      const auto held = Clock::now();
      auto now = files::ReadChangeCounter(folder);
      if (!now.ok()) return stop(Kind::Failed, std::string(files::kChangesFileName), now.message());
      bool recordChanged = false;
      for (Item& item : items) {
        const fs::path path = folder / item.name;
        auto id = IdentityOf(path);
        if (!id.ok()) return stop(Kind::Failed, item.name, id.message());
        if (!item.copy) {
          item.changed = id->has_value();  // it appeared
        } else if (item.log) {
          auto length = LogLength(path, *item.copy);
          if (!length.ok()) return stop(Kind::Failed, item.name, length.message());
          item.upTo = *length;
          item.changed = !item.upTo.has_value();
        } else {
          item.changed = !*id || item.copy->sourceReplaced() || !(**id == item.copy->source());
        }
        if (item.changed && !item.log) recordChanged = true;
        anyChanged = anyChanged || item.changed;
      }
      // Someone wrote, but no file says which (a file system that keeps
      // times to the second or two): every record file goes again.
      if (*now != counterSeen && !recordChanged) {
        for (Item& item : items) {
          if (!item.log && item.copy) item.changed = anyChanged = true;
        }
      }
      counterSeen = *now;
      // Bringing the changes up to date was quick the last time: this time
      // it is done holding the lock, so nothing changes meanwhile.
      if (anyChanged && !lockedPassFailed && options.lockedPassUpTo.count() > 0 && lastPass <= options.lockedPassUpTo &&
          std::all_of(items.begin(), items.end(), refreshable)) {
        lockedPass = true;
        anyChanged = false;
        for (Item& item : items) {
          if (!item.changed) continue;
          auto done = update(item, held + options.lockedPassBound);
          if (!done.ok()) return stop(Kind::Failed, item.name, done.message());
          ++copiedAgain;
          if (*done) {
            // Nobody writes the file while the lock is ours; looked at all the same.
            auto id = IdentityOf(folder / item.name);
            if (!id.ok()) return stop(Kind::Failed, item.name, id.message());
            item.changed = !*id || !(**id == item.copy->source());
          }
          anyChanged = anyChanged || item.changed;
          if (item.changed) break;
        }
        lockedPassFailed = anyChanged;
      }
      longestHeld = std::max(longestHeld, Clock::now() - held);
      lock->Release();
    }
    if (!anyChanged) {
      // The logs up to their length under the lock; what they had then
      // stays as it was, since logs only grow.
      for (Item& item : items) {
        if (!item.log || !item.copy || !item.upTo) continue;
        Status more = item.copy->Copy(item.upTo, [&](std::uint64_t done) {
          detail::Tell(options, Progress::Step::Copying, item.name, done, *item.upTo);
        });
        if (!more.ok()) return stop(Kind::Failed, item.name, more.message());
        if (item.copy->sourceReplaced()) item.changed = anyChanged = true;
      }
      if (!anyChanged) break;
    }
    if (round >= options.tries) {
      std::string name;
      for (const Item& item : items) {
        if (item.changed && name.empty()) name = item.name;
      }
      Outcome busy =
          stop(Kind::KeptChanging, name,
               "Other workstations kept changing the data files while they were copied (" + std::to_string(round) +
                   " tries). Nothing in the backup folder was changed; try again when the data folder is quieter.");
      busy.copiedAgain = copiedAgain;
      busy.tries = round;
      busy.longestLockHeld = std::chrono::duration_cast<std::chrono::milliseconds>(longestHeld);
      return busy;
    }
    const auto started = Clock::now();
    const bool onlyRefreshes = std::all_of(items.begin(), items.end(), refreshable);
    for (Item& item : items) {
      if (!item.changed) continue;
      auto done = update(item, std::nullopt);
      if (!done.ok()) return stop(Kind::Failed, item.name, done.message());
      ++copiedAgain;
      if (options.copied && item.copy) options.copied(item.name, round + 1);
    }
    lastPass = onlyRefreshes ? Clock::now() - started : Clock::duration::max();
  }

  for (Item& item : items) {
    if (!item.copy) continue;
    detail::Tell(options, Progress::Step::Checking, item.name, item.copy->copied(), item.copy->copied());
    if (Status checked = item.copy->Finish(); !checked.ok()) return stop(Kind::Failed, item.name, checked.message());
  }

  Outcome outcome;
  std::vector<std::string> names;
  for (const Item& item : items) (item.copy ? names : outcome.skipped).push_back(item.name);
  std::vector<Placement> placements;
  for (const std::string& name : detail::InstallOrder(names)) {
    const auto it = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.name == name; });
    placements.push_back(Placement{&*it->copy, target / name, {}});
  }
  detail::Tell(options, Progress::Step::Installing);
  if (auto failure = InstallAll(placements, options.renamePatience)) {
    Outcome failed = stop(failure->notUndone.empty() ? Kind::Failed : Kind::Mixed, failure->fileName, failure->reason);
    for (const auto& left : failure->notUndone) failed.notUndone.push_back({left.fileName, left.keptAs});
    return failed;
  }
  outcome.copied = names;
  outcome.copiedAgain = copiedAgain;
  outcome.tries = round;
  outcome.lockedPass = lockedPass;
  outcome.longestLockHeld = std::chrono::duration_cast<std::chrono::milliseconds>(longestHeld);
  return outcome;
}

}  // namespace kestrova::backup

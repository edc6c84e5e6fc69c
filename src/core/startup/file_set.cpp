#include "core/startup/file_set.h"

#include "core/files/file.h"

namespace kestrova::startup {

EmptyFileSweep DeleteEmptyFiles(const std::filesystem::path& folder, const files::LockOptions& lock) {
  EmptyFileSweep sweep;
  // Under the lock: another workstation may have just created a file it is
  // about to write (an empty data file is the first report's, a moment
  // later).
  auto held = files::FolderLock::Acquire(folder, lock);
  if (!held.ok()) {
    sweep.problems.push_back(held.message());
    return sweep;
  }
  for (std::string_view name : FileSet) {
    const auto path = folder / name;
    // Opened, not looked at: a share may answer a look from a cache a few
    // seconds old, in which a file with reports in it may still be empty.
    auto file = files::File::Open(path, files::OpenMode::Read);
    if (!file.ok()) {
      if (file.error().kind != Error::Kind::NotFound && file.error().kind != Error::Kind::Damaged) {
        sweep.problems.push_back(std::string(name) + ": " + file.message());
      }
      continue;
    }
    auto size = file->Size();
    if (!size.ok()) {
      sweep.problems.push_back(std::string(name) + ": " + size.message());
      continue;
    }
    if (*size != 0) continue;
    Status ours = held->CheckStillOurs();
    if (!ours.ok()) {
      sweep.problems.push_back(ours.message());
      break;
    }
    // Closed first: a share refuses to remove a file that is open.
    (void)file->Close();
    Status removed = files::RemoveFile(path);
    if (removed.ok()) {
      sweep.deleted.emplace_back(name);
    } else {
      sweep.problems.push_back(std::string(name) + ": " + removed.message());
    }
  }
  return sweep;
}

}  // namespace kestrova::startup

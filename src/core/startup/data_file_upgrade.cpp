#include "core/startup/data_file_upgrade.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/files/file.h"
#include "core/files/file_system.h"
#include "core/files/folder_lock.h"
#include "core/files/record_file.h"
#include "core/reports/data_file.h"
#include "core/text/fixed_text.h"
#include "core/time/date_format.h"

namespace kestrova::startup {
namespace {

namespace fs = std::filesystem;

struct Field {
  std::size_t offset;
  std::size_t width;
};

std::string Text(const char* old, Field f) { return text::DecodeFixedText(old + f.offset, f.width); }

double Date(const char* old, std::size_t offset) {
  double v;
  std::memcpy(&v, old + offset, 8);
  return v;
}

std::int64_t Money(const char* old, std::size_t offset) {
  std::int64_t v;
  std::memcpy(&v, old + offset, 8);
  return v;
}

Error IoError(const std::string& what, const std::error_code& ec) {
  return Error{Error::Kind::Io, what + ": " + ec.message()};
}

// Renames `from` to `to` unless a file has that name: a rename on its own
// would replace it.
Status RenameKeeping(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(to, ec))) {
    return Error{Error::Kind::Conflict, "Cannot rename " + from.filename().string() + " to " + to.filename().string() +
                                            ": a file of that name exists."};
  }
  if (files::RenamePatiently(from, to) != 0) {
    return IoError("Cannot rename " + from.filename().string() + " to " + to.filename().string(),
                   std::error_code(errno, std::generic_category()));
  }
  return {};
}

// Moves an earlier Kestrova.Old out of the way; its new name, or empty when
// there was none.
Result<std::string> KeepEarlierCopy(const fs::path& folder, const time::DateTime& now) {
  auto exists = files::RegularFileExists(folder / kOldDataFileName);
  if (!exists.ok()) return exists.error();
  if (!*exists) return std::string();
  auto name = FreeSetAsideName(folder, kOldDataFileName, now);
  if (!name.ok()) return name.error();
  Status moved = RenameKeeping(folder / kOldDataFileName, folder / *name);
  if (!moved.ok()) return moved.error();
  return *name;
}

// Puts an earlier copy moved by KeepEarlierCopy back, after a failure.
void PutEarlierCopyBack(const fs::path& folder, const std::string& keptAs) {
  if (keptAs.empty()) return;
  (void)RenameKeeping(folder / keptAs, folder / kOldDataFileName);
}

}  // namespace

Result<std::string> FreeSetAsideName(const fs::path& folder, std::string_view name, const time::DateTime& now) {
  const auto taken = [&folder](const std::string& candidate) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(folder / candidate, ec));
  };
  if (!taken(std::string(name))) return std::string(name);
  double moment = time::ToOleDate(now);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto at = time::FromOleDate(moment);
    if (!at) break;
    const std::string candidate = std::string(name) + "-" + time::FormatDateTime(*at, time::kControlNumberFormat);
    if (!taken(candidate)) return candidate;
    moment += 1.0 / 86400.0;
  }
  return Error{Error::Kind::Conflict, "Cannot find a free name to keep " + std::string(name) + " under."};
}

Result<DataFileState> ClassifyDataFile(const fs::path& folder) {
  const fs::path path = folder / reports::kDataFileName;
  auto exists = files::RegularFileExists(path);
  if (!exists.ok()) return exists.error();
  if (!*exists) return DataFileState::Missing;
  {
    // Opened as the reports are: a file too large or hollow is an error.
    reports::DataFile data(folder);
    Status opened = data.OpenDataFile(reports::DataFileAccess::Read);
    if (!opened.ok()) return opened.error();
  }
  auto file = files::File::Open(path, files::OpenMode::Read);
  if (!file.ok()) return file.error();
  return ClassifyDataFileContents(*file);
}

Result<DataFileState> ClassifyDataFileContents(const files::File& file) {
  auto length = file.Size();
  if (!length.ok()) return length.error();
  if (*length == 0) return DataFileState::Empty;
  if (*length >= reports::kReportRecordSize) {
    // The first report's ProgramVersion, its last two bytes.
    char version[2] = {0, 0};
    Status read = file.ReadAt(reports::kReportRecordSize - 2, version, 2);
    if (!read.ok()) return read.error();
    std::int16_t value = 0;
    std::memcpy(&value, version, 2);
    if (reports::IsCurrentLayoutVersion(value)) return DataFileState::Current;
  }
  // The last member of a version-3 record holds 314. A file too short to
  // hold it reads as zeros there.
  char last[2] = {0, 0};
  auto got = file.ReadSome(kVersion3RecordSize - 2, last, 2);
  if (!got.ok()) return got.error();
  std::int16_t marker = 0;
  std::memcpy(&marker, last, 2);
  if (*got == 2 && marker == 314) return DataFileState::Version3;
  if (*length % kVersion2RecordSize == 0) return DataFileState::Version2;
  return DataFileState::Unknown;
}

reports::ReportRecord ConvertOldRecord(const char* old, DataFileState layout) {
  reports::ReportRecord r;
  r.ControlNumber = 0;
  r.CaseNumber = Text(old, {0, 15});
  r.Title = Text(old, {15, 50});
  r.CriminalViolations = Text(old, {65, 50});
  r.ReportMadeBy = Text(old, {115, 50});
  r.DateEntered = Date(old, 165);
  r.OccurredFrom = Date(old, 173);
  r.OccurredTo = Date(old, 181);
  r.LocationOccurred = Text(old, {189, 50});
  r.ReportedOn = Date(old, 239);
  r.LocationReported = Text(old, {247, 50});
  std::string* people[][3] = {{&r.Person1Name, &r.Person1Context, &r.Person1Contact},
                              {&r.Person2Name, &r.Person2Context, &r.Person2Contact},
                              {&r.Person3Name, &r.Person3Context, &r.Person3Contact}};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t base = 297 + i * 105;
    *people[i][0] = Text(old, {base, 40});
    *people[i][1] = Text(old, {base + 40, 15});
    *people[i][2] = Text(old, {base + 55, 50});
  }
  std::string* vehicles[][3] = {{&r.Vehicle1Description, &r.Vehicle1Context, &r.Vehicle1Details},
                                {&r.Vehicle2Description, &r.Vehicle2Context, &r.Vehicle2Details},
                                {&r.Vehicle3Description, &r.Vehicle3Context, &r.Vehicle3Details}};
  if (layout == DataFileState::Version3) {
    for (std::size_t i = 0; i < 3; ++i) {
      const std::size_t base = 612 + i * 105;
      *vehicles[i][0] = Text(old, {base, 40});
      *vehicles[i][1] = Text(old, {base + 40, 15});
      *vehicles[i][2] = Text(old, {base + 55, 50});
    }
    std::string* items[][3] = {{&r.Property1Item, &r.Property1Context, &r.Property1Details},
                               {&r.Property2Item, &r.Property2Context, &r.Property2Details},
                               {&r.Property3Item, &r.Property3Context, &r.Property3Details}};
    std::int64_t* values[] = {&r.Property1Value, &r.Property2Value, &r.Property3Value};
    for (std::size_t i = 0; i < 3; ++i) {
      const std::size_t base = 927 + i * 113;
      *items[i][0] = Text(old, {base, 40});
      *items[i][1] = Text(old, {base + 40, 15});
      *items[i][2] = Text(old, {base + 55, 50});
      *values[i] = Money(old, base + 105);
    }
    r.Narrative = Text(old, {1266, 13732});
  } else {
    for (std::size_t i = 0; i < 3; ++i) {
      const std::size_t base = 612 + i * 100;
      *vehicles[i][0] = Text(old, {base, 35});
      *vehicles[i][1] = Text(old, {base + 35, 15});
      *vehicles[i][2] = Text(old, {base + 50, 50});
    }
    r.Narrative = Text(old, {912, 9088});
  }
  r.ListStatus = reports::kActiveList;
  r.ProgramVersion = reports::CurrentProgramVersion();
  return r;
}

Result<SetAsideResult> ConvertDataFile(const fs::path& folder, DataFileState layout, const time::DateTime& now) {
  if (layout != DataFileState::Version3 && layout != DataFileState::Version2) {
    return Error{Error::Kind::Invalid, "Only version-2 and version-3 data files can be converted."};
  }
  const std::size_t oldSize = layout == DataFileState::Version3 ? kVersion3RecordSize : kVersion2RecordSize;
  auto lock = files::FolderLock::Acquire(folder);
  if (!lock.ok()) return lock.error();
  const fs::path data = folder / reports::kDataFileName;
  const fs::path temp = folder / files::kTempFileName;
  const fs::path old = folder / kOldDataFileName;
  auto source = files::File::Open(data, files::OpenMode::Read);
  if (!source.ok()) return source.error();
  auto length = source->Size();
  if (!length.ok()) return length.error();
  if (*length / oldSize >= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    return Error{Error::Kind::Damaged,
                 "The data file " + std::string(reports::kDataFileName) + " is too large to be converted."};
  }
  const auto count = static_cast<std::int32_t>((*length + oldSize / 2) / oldSize);
  auto fail = [&](const Error& e) -> Result<SetAsideResult> {
    // The temporary file is ours to remove only while the lock is.
    if (lock->CheckStillOurs().ok()) (void)files::RemoveFile(temp);
    return e;
  };
  auto out = files::File::Open(temp, files::OpenMode::Fresh);  // a leftover goes; we hold the lock
  if (!out.ok()) return fail(out.error());
  // Closed before it is removed: a share refuses to remove an open file.
  auto failOpen = [&](const Error& e) {
    (void)out->Close();
    return fail(e);
  };
  std::vector<char> in(oldSize);
  reports::RecordBytes converted;
  for (std::int32_t n = 1; n <= count; ++n) {
    auto got = source->ReadSome(static_cast<std::uint64_t>(n - 1) * oldSize, in.data(), oldSize);
    if (!got.ok()) return failOpen(got.error());
    if (*got < oldSize) {
      // A partial last record: what is missing reads as empty text and
      // zero dates and values.
      std::fill(in.begin() + static_cast<std::ptrdiff_t>(*got), in.end(), ' ');
      for (std::size_t offset : {165u, 173u, 181u, 239u, 1032u, 1145u, 1258u}) {
        if (offset + 8 > *got && offset + 8 <= oldSize) {
          std::fill(in.begin() + static_cast<std::ptrdiff_t>(std::max(offset, *got)),
                    in.begin() + static_cast<std::ptrdiff_t>(offset + 8), '\0');
        }
      }
    }
    reports::EncodeReportRecord(ConvertOldRecord(in.data(), layout), converted.data());
    Status wrote = out->WriteAt(static_cast<std::uint64_t>(n - 1) * reports::kReportRecordSize, converted.data(),
                                converted.size());
    if (!wrote.ok()) return failOpen(wrote.error());
    lock->Refresh();
  }
  Status synced = out->Sync();
  if (!synced.ok()) return failOpen(synced.error());
  Status closed = out->Close();
  if (!closed.ok()) return fail(closed.error());
  (void)source->Close();
  Status ours = lock->CheckStillOurs();
  if (!ours.ok()) return ours.error();
  // Keep the original as Kestrova.Old (an earlier copy under a name of its
  // own), then put the converted file in its place; if that fails, the
  // original and the earlier copy go back. Both are closed by now: a share
  // refuses to rename an open file, and one that another workstation reads
  // just then is tried again for a moment.
  auto kept = KeepEarlierCopy(folder, now);
  if (!kept.ok()) return fail(kept.error());
  Status aside = RenameKeeping(data, old);
  if (!aside.ok()) {
    PutEarlierCopyBack(folder, *kept);
    return fail(Error{aside.error().kind,
                      "Cannot keep the old data file as " + std::string(kOldDataFileName) + ": " + aside.message()});
  }
  std::error_code ec;
  if (files::RenamePatiently(temp, data) != 0) ec.assign(errno, std::generic_category());
  if (ec) {
    if (files::RenamePatiently(old, data) == 0) PutEarlierCopyBack(folder, *kept);
    return fail(IoError("Cannot put the converted data file in place", ec));
  }
  (void)files::SyncFolder(folder);
  return SetAsideResult{count, *kept};
}

Result<bool> RemoveEmptyDataFile(const fs::path& folder) {
  auto lock = files::FolderLock::Acquire(folder);
  if (!lock.ok()) return lock.error();
  const fs::path path = folder / reports::kDataFileName;
  auto file = files::File::Open(path, files::OpenMode::Read);
  if (!file.ok()) {
    if (file.error().kind == Error::Kind::NotFound) return false;
    return file.error();
  }
  auto size = file->Size();
  if (!size.ok()) return size.error();
  if (*size != 0) return false;
  Status ours = lock->CheckStillOurs();
  if (!ours.ok()) return ours.error();
  (void)file->Close();  // a share refuses to remove an open file
  if (files::UnlinkPatiently(path) != 0) {
    return Error{Error::Kind::Io, "Cannot remove the empty data file: " + files::SystemErrorText(errno)};
  }
  return true;
}

Result<SetAsideResult> StartOverDataFile(const fs::path& folder, const time::DateTime& now) {
  auto lock = files::FolderLock::Acquire(folder);
  if (!lock.ok()) return lock.error();
  Status ours = lock->CheckStillOurs();
  if (!ours.ok()) return ours.error();
  auto kept = KeepEarlierCopy(folder, now);
  if (!kept.ok()) return kept.error();
  Status aside = RenameKeeping(folder / reports::kDataFileName, folder / kOldDataFileName);
  if (!aside.ok()) {
    PutEarlierCopyBack(folder, *kept);
    return Error{aside.error().kind,
                 "Cannot keep the old data file as " + std::string(kOldDataFileName) + ": " + aside.message()};
  }
  Status synced = files::SyncFolder(folder);
  if (!synced.ok()) return synced.error();
  return SetAsideResult{0, *kept};
}

Result<bool> DeleteEmptyOldestDataFile(const fs::path& folder) {
  const fs::path path = folder / kOldestDataFileName;
  auto exists = files::RegularFileExists(path);
  if (!exists.ok()) return exists.error();
  if (!*exists) return true;
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) return IoError("Cannot read the size of " + std::string(kOldestDataFileName), ec);
  if (size >= 1) return false;
  if (files::UnlinkPatiently(path) != 0 && errno != ENOENT) ec.assign(errno, std::generic_category());
  if (ec) return IoError("Cannot delete " + std::string(kOldestDataFileName), ec);
  return true;
}

Status SetAsideOldestDataFile(const fs::path& folder, const std::string& name) {
  auto lock = files::FolderLock::Acquire(folder);
  if (!lock.ok()) return lock.error();
  return RenameKeeping(folder / kOldestDataFileName, folder / name);
}

}  // namespace kestrova::startup

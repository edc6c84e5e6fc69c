#include "core/backup/staged_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <thread>

#include "core/files/file_system.h"

namespace kestrova::backup {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr std::size_t kBlockBytes = 1 << 20;
// The longest a source is held open at a time.
constexpr milliseconds kHoldSource{250};

std::int64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

Error IoError(const std::string& what, int error) {
  return Error{Error::Kind::Io, what + ": " + files::SystemErrorText(error) + "."};
}

std::string NameOf(const fs::path& path) { return path.filename().string(); }

fs::path UndoName(const fs::path& destination) {
  std::random_device device;
  char token[17];
  std::snprintf(token, sizeof token, "%08x%08x", device(), device());
  return destination.string() + ".previous-" + token;
}

}  // namespace

Result<std::optional<FileIdentity>> IdentityOf(const fs::path& path) {
  struct stat st {};
  if (files::Sys().LStat(path, &st) != 0) {
    if (errno == ENOENT) return std::optional<FileIdentity>();
    return IoError("Cannot look at " + NameOf(path), errno);
  }
  return std::optional<FileIdentity>(FileIdentity{st.st_dev, st.st_ino, static_cast<std::uint64_t>(st.st_size),
                                                  Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim),
                                                  static_cast<unsigned>(st.st_mode & 07777), st.st_gid});
}

Result<StagedCopy> StagedCopy::Begin(fs::path source, fs::path temp) {
  auto out = files::File::Open(temp, files::OpenMode::Fresh);
  if (!out.ok()) return out.error();
  auto id = IdentityOf(temp);
  if (!id.ok()) return id.error();
  if (!*id || !out->StillNamed()) {
    return Error{Error::Kind::Io, "The temporary file " + NameOf(temp) + " was taken away as it was made."};
  }
  StagedCopy copy;
  copy.sourcePath_ = std::move(source);
  copy.temp_ = std::move(temp);
  copy.out_ = std::move(*out);
  copy.outId_ = **id;
  return copy;
}

Status StagedCopy::Copy(std::optional<std::uint64_t> limit, const std::function<void(std::uint64_t)>& onBlock) {
  if (finished_ || replaced_) return {};
  std::vector<char> buffer(kBlockBytes);
  std::optional<std::uint64_t> end = limit;
  for (int opens = 0;; ++opens) {
    auto in = files::File::Open(sourcePath_, files::OpenMode::Read);
    if (!in.ok()) {
      if (in.error().kind == Error::Kind::NotFound && started_) {
        replaced_ = true;
        return {};
      }
      return in.error();
    }
    // What the name stands for, while it still stands for the file we opened.
    auto id = IdentityOf(sourcePath_);
    if (!id.ok()) return id.error();
    if (!*id || !in->StillNamed()) {
      if (started_) {
        replaced_ = true;
        return {};
      }
      if (opens >= 20) return Error{Error::Kind::Busy, NameOf(sourcePath_) + " kept being replaced as it was opened."};
      std::this_thread::sleep_for(milliseconds(10));
      continue;
    }
    if (!started_) {
      source_ = **id;
      started_ = true;
    } else if (!(*id)->SameFile(source_)) {
      replaced_ = true;
      return {};
    }
    auto size = in->Size();
    if (!size.ok()) return size.error();
    if (!end) end = *size;
    if (*size < *end || *size < copied_) {
      replaced_ = true;
      return {};
    }
    const auto opened = std::chrono::steady_clock::now();
    while (copied_ < *end) {
      const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), *end - copied_));
      auto got = in->ReadSome(copied_, buffer.data(), want);
      if (!got.ok()) return got.error();
      if (*got == 0) {
        replaced_ = true;  // cut shorter while it was read
        return {};
      }
      sourceHash_.Update(buffer.data(), *got);
      Status wrote = out_.WriteAt(copied_, buffer.data(), *got);
      if (!wrote.ok()) return wrote;
      copied_ += *got;
      if (onBlock) onBlock(copied_);
      if (copied_ < *end && std::chrono::steady_clock::now() - opened >= kHoldSource) break;
    }
    if (copied_ >= *end) return {};
  }
}

Status StagedCopy::Finish(const std::function<Status(const files::File&)>& check,
                          const std::optional<FileIdentity>& like) {
  const std::string name = NameOf(temp_);
  const Digest expected = sourceHash_.Final();
  if (!out_.is_open() || !out_.StillNamed()) {
    return Error{Error::Kind::Io, "The copy " + name + " was removed or replaced while it was being written."};
  }
  Status synced = out_.Sync();
  if (!synced.ok()) return synced;
  // Read back through a descriptor of its own, with the cached pages let
  // go, so what is compared is what the disk holds where the system allows.
  const int fd = files::Sys().Open(temp_, O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0);
  if (fd < 0) return IoError("Cannot read back " + name, errno);
  (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  Sha256 back;
  std::vector<char> buffer(kBlockBytes);
  std::uint64_t offset = 0;
  Status result;
  for (;;) {
    const ssize_t n = files::Sys().PRead(fd, buffer.data(), buffer.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result = IoError("Cannot read back " + name, errno);
      break;
    }
    if (n == 0) break;
    back.Update(buffer.data(), static_cast<std::size_t>(n));
    offset += static_cast<std::uint64_t>(n);
  }
  if (result.ok() && (offset != copied_ || back.Final() != expected)) {
    result = Error{Error::Kind::Damaged, "The copy " + name +
                                             " does not read back as the bytes that were read for it: the disk "
                                             "or the connection to it is not storing what is written."};
  }
  if (result.ok() && check) result = check(out_);
  if (result.ok() && like) {
    struct stat st {};
    if (files::Sys().FStat(fd, &st) == 0 && st.st_gid != like->group) {
      (void)files::Sys().FChown(fd, static_cast<uid_t>(-1), like->group);
    }
    if (files::Sys().FChmod(fd, like->mode & 0777) != 0)
      result = IoError("Cannot set the permissions of " + name, errno);
  }
  files::Sys().Close(fd);
  if (!result.ok()) return result;
  Status closed = out_.Close();
  if (!closed.ok()) return closed;
  auto id = IdentityOf(temp_);
  if (!id.ok()) return id.error();
  if (!*id || !(*id)->SameFile(outId_)) {
    return Error{Error::Kind::Io, "The copy " + name + " was removed or replaced while it was being written."};
  }
  outId_ = **id;
  finished_ = true;
  return {};
}

Status StagedCopy::StillOurs() const {
  auto id = IdentityOf(temp_);
  if (!id.ok()) return id.error();
  if (finished_ && *id && **id == outId_) return {};
  return Error{Error::Kind::Io,
               "The checked copy " + NameOf(temp_) + " was changed or removed before it was put in place."};
}

void StagedCopy::Discard() {
  if (out_.is_open()) {
    const bool ours = out_.StillNamed();
    (void)out_.Close();  // closed first: a file server refuses to remove an open file
    if (ours) (void)files::RemoveFile(temp_);
    return;
  }
  auto id = IdentityOf(temp_);
  if (id.ok() && *id && (*id)->SameFile(outId_)) (void)files::RemoveFile(temp_);
}

std::optional<InstallFailure> InstallAll(const std::vector<Placement>& placements, milliseconds patience,
                                         const std::function<Status()>& beforeEach) {
  struct Done {
    std::size_t index = 0;
    fs::path aside;  // the old file; empty when there was none
  };
  std::vector<Done> done;
  const auto fail = [&](std::size_t index, const std::string& reason) {
    InstallFailure failure{NameOf(placements[index].destination), reason, {}, {}};
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
      const fs::path& destination = placements[it->index].destination;
      const int rc = it->aside.empty() ? files::UnlinkPatiently(destination, patience)
                                       : files::RenamePatiently(it->aside, destination, patience);
      if (rc == 0) {
        failure.undone.push_back(NameOf(destination));
      } else {
        failure.notUndone.push_back({NameOf(destination), it->aside.empty() ? "" : NameOf(it->aside)});
      }
    }
    if (!placements.empty()) (void)files::SyncFolder(placements.front().destination.parent_path());
    return failure;
  };
  for (std::size_t i = 0; i < placements.size(); ++i) {
    const Placement& p = placements[i];
    const std::string name = NameOf(p.destination);
    if (beforeEach) {
      if (Status go = beforeEach(); !go.ok()) return fail(i, go.message());
    }
    if (Status ours = p.copy->StillOurs(); !ours.ok()) return fail(i, ours.message());
    auto old = IdentityOf(p.destination);
    if (!old.ok()) return fail(i, old.message());
    const bool last = i + 1 == placements.size();
    if (*old && (!last || !p.keepOldAs.empty())) {
      const fs::path aside = p.keepOldAs.empty() ? UndoName(p.destination) : p.keepOldAs;
      const bool linked = files::Sys().Link(p.destination, aside) == 0;
      if (!linked) {
        const int error = errno;
        if (!files::IsNoLinksError(error)) {
          return fail(
              i, "Cannot keep the old " + name + " as " + NameOf(aside) + ": " + files::SystemErrorText(error) + ".");
        }
        if (files::RenamePatiently(p.destination, aside, patience) != 0) {
          return fail(
              i, "Cannot keep the old " + name + " as " + NameOf(aside) + ": " + files::SystemErrorText(errno) + ".");
        }
      }
      if (files::RenamePatiently(p.copy->temp(), p.destination, patience) != 0) {
        const int error = errno;
        if (linked) {
          (void)files::UnlinkPatiently(aside, patience);  // the old file still has its name
        } else {
          done.push_back({i, aside});  // put back below
        }
        return fail(i, "Cannot put the new " + name + " in place: " + files::SystemErrorText(error) + ".");
      }
      done.push_back({i, aside});
    } else {
      if (files::RenamePatiently(p.copy->temp(), p.destination, patience) != 0) {
        return fail(i, "Cannot put the new " + name + " in place: " + files::SystemErrorText(errno) + ".");
      }
      if (!*old) done.push_back({i, {}});
    }
  }
  for (const Done& d : done) {
    if (!d.aside.empty() && placements[d.index].keepOldAs.empty()) (void)files::UnlinkPatiently(d.aside, patience);
  }
  if (!placements.empty()) (void)files::SyncFolder(placements.front().destination.parent_path());
  return std::nullopt;
}

}  // namespace kestrova::backup

#include "core/backup/staged_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <thread>

#include "core/files/file_system.h"

namespace kestrova::backup {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr std::size_t kBlockBytes = 1 << 20;
// The copy is flushed and read back in pieces of this size while the rest
// is copied.
constexpr std::uint64_t kChunkBytes = 8 << 20;
// Pieces written and on their way to the disk while an earlier one is read back.
constexpr std::size_t kReadBackDepth = 4;
// The longest a source is held open at a time.
constexpr milliseconds kHoldSource{250};

// Runs tasks in a thread of its own, in the order they are given, with at
// most `depth` waiting: hashing and reading back go on beside the copying.
class InOrder {
 public:
  explicit InOrder(std::size_t depth) : depth_(depth), thread_([this] { Loop(); }) {}
  ~InOrder() {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  InOrder(const InOrder&) = delete;
  InOrder& operator=(const InOrder&) = delete;

  void Run(std::function<void()> task) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return tasks_.size() < depth_; });
    tasks_.push_back(std::move(task));
    changed_.notify_all();
  }
  // Until every task given has run.
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return tasks_.empty() && !busy_; });
  }

 private:
  void Loop() {
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || !tasks_.empty(); });
        if (tasks_.empty()) return;
        task = std::move(tasks_.front());
        tasks_.pop_front();
        busy_ = true;
      }
      changed_.notify_all();
      task();
      {
        std::lock_guard<std::mutex> guard(mutex_);
        busy_ = false;
      }
      changed_.notify_all();
    }
  }

  std::size_t depth_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> tasks_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread thread_;  // last: started once the rest is ready
};

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
  // The source's bytes are hashed beside the copying, in a ring of buffers;
  // each piece of the copy is flushed, read back and hashed beside it too.
  constexpr std::size_t kRing = 4;
  std::vector<std::vector<char>> ring(kRing, std::vector<char>(kBlockBytes));
  std::vector<char> back(kBlockBytes);
  Status backStatus;  // the reading back's, once it is done
  std::atomic<bool> backFailed{false};
  std::uint64_t checkedTo = checked_;
  InOrder readBack(kReadBackDepth);
  InOrder hashSource(kRing - 2);
  const auto check = [&](std::uint64_t to) {
    const std::uint64_t from = checkedTo;
    if (to <= from) return;
    checkedTo = to;
    readBack.Run([this, from, to, &back, &backStatus, &backFailed] {
      if (!backStatus.ok()) return;
      backStatus = out_.SyncRange(from, to - from);
      for (std::uint64_t at = from; backStatus.ok() && at < to;) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(back.size(), to - at));
        auto got = out_.ReadSome(at, back.data(), want);
        if (!got.ok() || *got != want) {
          backStatus = got.ok() ? Status(Error{Error::Kind::Damaged, "The copy " + NameOf(temp_) + " came back short."})
                                : got.status();
          break;
        }
        backHash_.Update(back.data(), want);
        at += want;
      }
      if (backStatus.ok()) {
        checked_ = to;
      } else {
        backFailed = true;
      }
    });
  };
  const auto finish = [&](Status status) {
    if (status.ok()) check(copied_);
    hashSource.Wait();
    readBack.Wait();
    return status.ok() ? backStatus : status;
  };

  std::optional<std::uint64_t> end = limit;
  std::size_t next = 0;
  for (int opens = 0;; ++opens) {
    auto in = files::File::Open(sourcePath_, files::OpenMode::Read);
    if (!in.ok()) {
      if (in.error().kind == Error::Kind::NotFound && started_) {
        replaced_ = true;
        return finish({});
      }
      return finish(in.error());
    }
    // What the name stands for, while it still stands for the file we opened.
    auto id = IdentityOf(sourcePath_);
    if (!id.ok()) return finish(id.error());
    if (!*id || !in->StillNamed()) {
      if (started_) {
        replaced_ = true;
        return finish({});
      }
      if (opens >= 20) {
        return finish(Error{Error::Kind::Busy, NameOf(sourcePath_) + " kept being replaced as it was opened."});
      }
      std::this_thread::sleep_for(milliseconds(10));
      continue;
    }
    if (!started_) {
      source_ = **id;
      started_ = true;
    } else if (!(*id)->SameFile(source_)) {
      replaced_ = true;
      return finish({});
    }
    auto size = in->Size();
    if (!size.ok()) return finish(size.error());
    if (!end) end = *size;
    if (*size < *end || *size < copied_) {
      replaced_ = true;
      return finish({});
    }
    const auto opened = std::chrono::steady_clock::now();
    while (copied_ < *end) {
      std::vector<char>& buffer = ring[next];
      next = (next + 1) % kRing;
      const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), *end - copied_));
      auto got = in->ReadSome(copied_, buffer.data(), want);
      if (!got.ok()) return finish(got.error());
      if (*got == 0) {
        replaced_ = true;  // cut shorter while it was read
        return finish({});
      }
      Status wrote = out_.WriteAt(copied_, buffer.data(), *got);
      if (!wrote.ok()) return finish(wrote);
      hashSource.Run([this, &buffer, n = *got, at = copied_] {
        if (at == marks_.size() * kBlockBytes) marks_.push_back(sourceHash_.Clone());
        sourceHash_.Update(buffer.data(), n);
      });
      copied_ += *got;
      if (copied_ - checkedTo >= kChunkBytes) {
        // The disk starts on this piece now; the reading back waits for it.
        out_.StartWriteBack(checkedTo, copied_ - checkedTo);
        check(copied_);
      }
      if (onBlock) onBlock(copied_);
      if (backFailed) return finish({});
      if (copied_ < *end && std::chrono::steady_clock::now() - opened >= kHoldSource) break;
    }
    if (copied_ >= *end) return finish({});
  }
}

Result<bool> StagedCopy::Refresh(std::optional<std::chrono::steady_clock::time_point> deadline,
                                 const std::function<void(std::uint64_t)>& onBlock) {
  if (!started_ || finished_ || replaced_) return false;
  behind_ = true;
  rewritten_ = 0;
  checked_ = 0;  // every byte is read back again by Finish
  backHash_ = Sha256();
  // The source's bytes are hashed beside the comparing, as in Copy.
  constexpr std::size_t kRing = 4;
  std::vector<std::vector<char>> ring(kRing, std::vector<char>(kBlockBytes));
  std::vector<char> held(kBlockBytes);
  // The hash so far is taken up again from the first block that is not
  // provably as it was hashed: every block before it is the same in the
  // source and the copy, and was hashed when the copy was written.
  const bool marked = marks_.size() == (copied_ + kBlockBytes - 1) / kBlockBytes;
  std::optional<std::size_t> hashFrom;
  if (!marked) hashFrom = 0;
  Sha256 fresh;
  std::vector<Sha256> newMarks;
  InOrder hashSource(kRing - 2);  // last: drained before the buffers go
  // A pass that stops midway may have rewritten blocks the hash marks
  // knew other bytes in: the next one hashes from the start.
  const auto stopped = [this] {
    if (rewritten_ > 0) marks_.clear();
    return false;
  };
  FileIdentity before;
  std::optional<std::uint64_t> end;
  std::uint64_t at = 0;
  std::size_t next = 0;
  for (;;) {
    auto in = files::File::Open(sourcePath_, files::OpenMode::Read);
    if (!in.ok()) {
      if (in.error().kind != Error::Kind::NotFound) return in.error();
      replaced_ = true;
      return false;
    }
    auto id = IdentityOf(sourcePath_);
    if (!id.ok()) return id.error();
    if (!*id || !in->StillNamed() || !(*id)->SameFile(source_)) {
      replaced_ = true;
      return false;
    }
    auto size = in->Size();
    if (!size.ok()) return size.error();
    if (!end) {
      before = **id;
      end = *size;
    }
    if (*size < *end) return stopped();  // cut while it was read
    const auto opened = std::chrono::steady_clock::now();
    while (at < *end) {
      std::vector<char>& buffer = ring[next];
      next = (next + 1) % kRing;
      const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), *end - at));
      auto got = in->ReadSome(at, buffer.data(), want);
      if (!got.ok()) return got.error();
      if (*got != want) return stopped();  // cut while it was read
      // What the copy holds there already stays.
      bool same = false;
      if (at + want <= copied_) {
        auto mine = out_.ReadSome(at, held.data(), want);
        if (!mine.ok()) return mine.error();
        same = *mine == want && std::memcmp(held.data(), buffer.data(), want) == 0;
      }
      const std::size_t block = static_cast<std::size_t>(at / kBlockBytes);
      if (!hashFrom && (!same || at + want != std::min<std::uint64_t>(copied_, at + kBlockBytes))) {
        hashFrom = block;
        fresh = block < marks_.size() ? marks_[block].Clone() : sourceHash_.Clone();
      }
      if (hashFrom) {
        hashSource.Run([&fresh, &newMarks, &buffer, want] {
          newMarks.push_back(fresh.Clone());
          fresh.Update(buffer.data(), want);
        });
      }
      if (!same) {
        if (Status wrote = out_.WriteAt(at, buffer.data(), want); !wrote.ok()) return wrote.error();
        rewritten_ += want;
      }
      at += want;
      if (onBlock) onBlock(at);
      const auto now = std::chrono::steady_clock::now();
      if (deadline && now >= *deadline && at < *end) return stopped();
      if (at < *end && now - opened >= kHoldSource) break;
    }
    if (at >= *end) break;
  }
  // Cut, or longer from a pass that stopped midway: as long as the source.
  auto length = out_.Size();
  if (!length.ok()) return length.error();
  if (*length > *end) {
    if (Status cut = out_.Truncate(*end); !cut.ok()) return cut.error();
  }
  hashSource.Wait();
  if (!hashFrom && *end != copied_) {
    // Cut at a block's end: the hash as it stood there.
    hashFrom = static_cast<std::size_t>(*end / kBlockBytes);
    fresh = marks_[*hashFrom].Clone();
  }
  if (hashFrom) {
    marks_.erase(marks_.begin() + static_cast<std::ptrdiff_t>(std::min(*hashFrom, marks_.size())), marks_.end());
    for (Sha256& mark : newMarks) marks_.push_back(std::move(mark));
    sourceHash_ = std::move(fresh);
  }
  copied_ = *end;
  source_ = before;
  behind_ = false;
  return true;
}

Status StagedCopy::ReadBackRest() {
  // Hashed in a thread of its own while the next block is read.
  constexpr std::size_t kRing = 3;
  std::vector<std::vector<char>> ring(kRing, std::vector<char>(kBlockBytes));
  InOrder hash(kRing - 2);
  std::size_t next = 0;
  while (checked_ < copied_) {
    std::vector<char>& buffer = ring[next];
    next = (next + 1) % kRing;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), copied_ - checked_));
    auto got = out_.ReadSome(checked_, buffer.data(), want);
    if (!got.ok()) return got.status();
    if (*got != want) return Error{Error::Kind::Damaged, "The copy " + NameOf(temp_) + " came back short."};
    hash.Run([this, &buffer, want] { backHash_.Update(buffer.data(), want); });
    checked_ += want;
  }
  hash.Wait();
  return {};
}

Status StagedCopy::Finish(const std::function<Status(const files::File&)>& check,
                          const std::optional<FileIdentity>& like) {
  const std::string name = NameOf(temp_);
  if (!out_.is_open() || !out_.StillNamed()) {
    return Error{Error::Kind::Io, "The copy " + name + " was removed or replaced while it was being written."};
  }
  // Every piece was flushed and read back as it was copied; now the rest
  // of the file (its size, its place in the folder) goes to the disk too.
  Status result =
      behind_ ? Status(Error{Error::Kind::Busy, "The copy " + name + " is behind its source."}) : out_.Sync();
  // What a refresh rewrote is read back whole, now that it is on the disk.
  if (result.ok() && checked_ < copied_) result = ReadBackRest();
  auto size = out_.Size();
  if (result.ok() && !size.ok()) result = size.status();
  if (result.ok() && (checked_ != copied_ || *size != copied_ || backHash_.Final() != sourceHash_.Final())) {
    result = Error{Error::Kind::Damaged, "The copy " + name +
                                             " does not read back as the bytes that were read for it: the disk "
                                             "or the connection to it is not storing what is written."};
  }
  if (result.ok() && check) result = check(out_);
  if (result.ok() && like) result = out_.SetPermissions(like->mode & 0777, like->group);
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

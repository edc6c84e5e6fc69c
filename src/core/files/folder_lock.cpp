#include "core/files/folder_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <optional>
#include <random>
#include <thread>

#include "core/files/file.h"

namespace kestrova::files {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Lock files all have this length, so a share that caches a file's length
// for a few seconds still reads a whole one.
constexpr std::size_t kContentSize = 256;
// Nothing longer is read: a lock file of any other size is not one of ours.
constexpr std::size_t kReadLimit = 4096;

std::string Field(std::string_view content, std::string_view key) {
  std::size_t at = 0;
  while (at < content.size()) {
    const std::size_t end = std::min(content.find('\n', at), content.size());
    const std::string_view line = content.substr(at, end - at);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
      return std::string(line.substr(key.size() + 1));
    }
    at = end + 1;
  }
  return {};
}

// This computer and boot, and the process-id space: a process id found in
// a lock means something here only when both match.
std::string ThisComputer() {
  static const std::string id = [] {
    std::string boot;
    if (std::FILE* f = std::fopen("/proc/sys/kernel/random/boot_id", "re")) {
      char buffer[64] = {};
      if (std::fgets(buffer, sizeof buffer, f)) boot = buffer;
      std::fclose(f);
    }
    while (!boot.empty() && (boot.back() == '\n' || boot.back() == ' ')) boot.pop_back();
    struct stat ns {};
    if (boot.empty() || ::stat("/proc/self/ns/pid", &ns) != 0) return std::string();
    return boot + "/" + std::to_string(ns.st_ino);
  }();
  return id;
}

bool HolderIsGoneFromThisComputer(std::string_view content) {
  const std::string computer = ThisComputer();
  if (computer.empty() || Field(content, "machine") != computer) return false;
  const std::string pidText = Field(content, "pid");
  long pid = 0;
  const auto [end, ec] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
  if (ec != std::errc() || end != pidText.data() + pidText.size() || pid <= 0) return false;
  if (pid == ThisProcessId()) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::string NewToken() {
  // Straight from the system's random source: processes forked from one
  // parent must never share a token.
  std::random_device device;
  char text[33];
  std::snprintf(text, sizeof text, "%08x%08x%08x%08x", device(), device(), device(), device());
  return text;
}

std::string Content(const std::string& token, std::uint64_t beat) {
  char beatText[24];
  std::snprintf(beatText, sizeof beatText, "%020llu", static_cast<unsigned long long>(beat));
  std::string host = ThisHostName().substr(0, 64);
  std::string text = "Kestrova lock: a workstation is writing to this folder.\nhost=" + host +
                     "\nmachine=" + ThisComputer() + "\npid=" + std::to_string(ThisProcessId()) +
                     "\ntoken=" + token + "\nbeat=" + beatText + "\n";
  text.resize(kContentSize - 1, ' ');
  return text + "\n";
}

// The lock file's contents, at most kReadLimit bytes of them.
Result<std::string> ReadLockFile(const fs::path& path) {
  auto file = File::Open(path, OpenMode::Read);
  if (!file.ok()) return file.error();
  std::string bytes(kReadLimit, '\0');
  auto got = file->ReadSome(0, bytes.data(), bytes.size());
  if (!got.ok()) return got.error();
  bytes.resize(*got);
  return bytes;
}

bool WriteWhole(int fd, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::pwrite(fd, content.data() + done, content.size() - done,
                               static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool LinksUnsupported(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV || error == EMLINK;
}

// Whether anything has the name, asked by opening it: a share may answer a
// look at its status from a cache.
bool NameTaken(const fs::path& path) {
  auto file = File::Open(path, OpenMode::Read);
  return file.ok() || file.error().kind != Error::Kind::NotFound;
}

// Puts our lock file in place only when it is complete: written under a
// name of its own first, then linked to the lock's name, which fails when a
// lock is there. A reader therefore never finds a lock without its holder
// (which a holder killed between creating and writing it would leave).
// Where the file system has no links, the lock file is created directly.
class LockCreator {
 public:
  LockCreator(const fs::path& folder, const std::string& token, const std::string& content, bool useLinks)
      : useLink_(useLinks),
        folder_(folder),
        path_(folder / kLockFileName),
        temp_(folder / (std::string(kLockFileName) + ".new-" + token)),
        content_(content) {}
  ~LockCreator() {
    if (tempFd_ >= 0) {
      ::close(tempFd_);
      ::unlink(temp_.c_str());
    }
  }
  LockCreator(const LockCreator&) = delete;
  LockCreator& operator=(const LockCreator&) = delete;

  // Our lock in place: its descriptor. Otherwise -1, and errno EEXIST when
  // another lock is in place, EAGAIN when the attempt is to be repeated.
  int TryTake() {
    if (useLink_) {
      if (tempFd_ < 0) {
        tempFd_ = NewFile(temp_);
        if (tempFd_ < 0) return Refused(errno);
      }
      const int linked = ::link(temp_.c_str(), path_.c_str());
      const int error = errno;
      struct stat st {};
      // A network file system may report a link that did happen as failed.
      if (linked == 0 || (::fstat(tempFd_, &st) == 0 && st.st_nlink == 2)) {
        ::unlink(temp_.c_str());
        return std::exchange(tempFd_, -1);
      }
      if (error == EEXIST || NameTaken(path_)) return Fail(EEXIST);
      // Refused with the name free: no links here, unless the lock was
      // released just then; only a refusal that repeats says so.
      if (!LinksUnsupported(error)) return Fail(error);
      if (++linkRefused_ < 3) return Fail(EAGAIN);
      useLink_ = false;
      ::close(std::exchange(tempFd_, -1));
      ::unlink(temp_.c_str());
    }
    const int fd = NewFile(path_);
    return fd >= 0 ? fd : Refused(errno);
  }

  bool UsesLinks() const { return useLink_; }

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  // Some shares (sshfs) answer an exclusive create or a link onto a name
  // that is taken with a permission error instead of EEXIST.
  int Refused(int error) {
    if (error == EEXIST || ((error == EPERM || error == EACCES) && NameTaken(path_))) return Fail(EEXIST);
    return Fail(error);
  }

  int NewFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    ::fchmod(fd, FolderFileMode(folder_));
    if (!WriteWhole(fd, content_)) {
      const int error = errno;
      ::close(fd);
      ::unlink(path.c_str());
      errno = error == 0 ? EIO : error;
      return -1;
    }
    return fd;
  }

  bool useLink_;
  int linkRefused_ = 0;
  fs::path folder_;
  fs::path path_;
  fs::path temp_;
  std::string content_;
  int tempFd_ = -1;
};

// What killed processes leave beside the lock: locks moved aside by a
// breaker, and new locks of processes of this computer that have ended.
void ClearLeftovers(const fs::path& folder) {
  const std::string aside = std::string(kLockFileName) + ".broken-";
  const std::string fresh = std::string(kLockFileName) + ".new-";
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(aside, 0) == 0) {
      ::unlink(it->path().c_str());
    } else if (name.rfind(fresh, 0) == 0) {
      auto content = ReadLockFile(it->path());
      if (content.ok() && HolderIsGoneFromThisComputer(*content)) ::unlink(it->path().c_str());
    }
  }
}

// A claim on a stale lock that stays longer than this was left by a waiter
// that died while breaking it.
constexpr milliseconds kLeftoverClaim{2000};

// A name for a lock's contents, the same on every computer (FNV-1a).
std::string Fingerprint(std::string_view content) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : content) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

enum class BreakResult { Broken, Claimed, Changed, Gone };

// Removes the lock judged stale, and nothing else. With links, the waiter
// first claims the lock under a name made from its contents (the link
// fails when another waiter has claimed it already) and removes it only
// after reading through the claim that it is still the one judged: the
// lock's name cannot change hands meanwhile, since only a claimant removes
// it and a new lock needs the name free. Without links, it is renamed
// aside, which can take a lock that replaced the stale one just then; that
// lock's holder finds out before its first commit. Nothing is ever put
// back: a lock put back could outlive its holder and block everyone.
BreakResult BreakStaleLock(const fs::path& path, const std::string& judged, const fs::path& claim,
                           const std::string& token, bool useLinks) {
  if (useLinks) {
    if (::link(path.c_str(), claim.c_str()) == 0) {
      auto claimed = ReadLockFile(claim);
      const bool same = claimed.ok() && *claimed == judged;
      if (same) ::unlink(path.c_str());
      ::unlink(claim.c_str());
      return same ? BreakResult::Broken : BreakResult::Changed;
    }
    const int error = errno;
    if (error == EEXIST || NameTaken(claim)) return BreakResult::Claimed;
    if (error == ENOENT || !NameTaken(path)) return BreakResult::Gone;
    return BreakResult::Changed;
  }
  const fs::path aside = path.string() + ".broken-" + token;
  if (std::rename(path.c_str(), aside.c_str()) != 0) return BreakResult::Gone;
  ::unlink(aside.c_str());
  return BreakResult::Broken;
}

std::string Seconds(milliseconds ms) {
  const auto seconds = (ms.count() + 999) / 1000;
  return seconds <= 1 ? std::string("a second") : std::to_string(seconds) + " seconds";
}

}  // namespace

std::string ThisHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "unknown";
  return name;
}

long ThisProcessId() { return static_cast<long>(::getpid()); }

FolderLock::~FolderLock() { Release(); }

FolderLock::FolderLock(FolderLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      token_(std::move(other.token_)),
      content_(std::move(other.content_)),
      beat_(other.beat_),
      lastBeat_(other.lastBeat_),
      options_(std::move(other.options_)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    token_ = std::move(other.token_);
    content_ = std::move(other.content_);
    beat_ = other.beat_;
    lastBeat_ = other.lastBeat_;
    options_ = std::move(other.options_);
  }
  return *this;
}

std::chrono::steady_clock::time_point FolderLock::Now() const {
  return options_.now ? options_.now() : std::chrono::steady_clock::now();
}

Result<FolderLock> FolderLock::Acquire(const fs::path& folder, const LockOptions& options) {
  FolderLock lock;
  lock.options_ = options;
  lock.path_ = folder / kLockFileName;
  lock.token_ = NewToken();
  lock.content_ = Content(lock.token_, 0);
  const fs::path& path = lock.path_;
  auto step = [&](LockStep s) {
    if (options.onStep) options.onStep(s);
  };

  std::mt19937 jitter{std::random_device{}()};
  const auto start = lock.Now();
  std::optional<std::string> seen;  // the lock in the way, as last read
  auto seenSince = start;
  LockWait wait;
  wait.limit = options.wait;
  bool shown = false;
  auto endWait = [&] {
    if (!shown || !options.waiting) return;
    wait.finished = true;
    options.waiting(wait);
  };
  int pauseMs = 2;
  bool broke = false;
  bool claimSeen = false;  // another waiter's claim on the lock in the way
  auto claimedSince = start;
  LockCreator creator(folder, lock.token_, lock.content_, options.useLinks);

  for (;;) {
    const int fd = creator.TryTake();
    if (fd >= 0) {
      lock.fd_ = fd;
      lock.lastBeat_ = lock.Now();
      if (broke) {
        // Where a waiter that judged the same lock stale could still move
        // ours aside (no links), we look again before going on.
        if (!creator.UsesLinks()) std::this_thread::sleep_for(milliseconds(20));
        auto mine = ReadLockFile(path);
        if (!mine.ok() || *mine != lock.content_) {
          ::close(std::exchange(lock.fd_, -1));
          broke = false;
          continue;
        }
        ClearLeftovers(folder);
      }
      endWait();
      step(LockStep::Created);
      return lock;
    }
    if (errno == EAGAIN) continue;
    if (errno != EEXIST) {
      const int error = errno;
      endWait();
      return Error{Error::Kind::Io, "Cannot create the lock file " + std::string(kLockFileName) +
                                        " in the data folder: " + SystemErrorText(error)};
    }
    auto holder = ReadLockFile(path);
    if (!holder.ok() && holder.error().kind == Error::Kind::NotFound) continue;  // just released
    if (!holder.ok() && holder.error().kind == Error::Kind::Damaged) {
      endWait();
      return holder.error();  // not a lock file: no waiting makes it one
    }
    const std::string current = holder.ok() ? *holder : std::string();
    const auto now = lock.Now();
    if (!seen || *seen != current) {
      seen = current;
      seenSince = now;
    }
    if (holder.ok() && (now - seenSince >= options.staleAfter || HolderIsGoneFromThisComputer(current))) {
      step(LockStep::JudgedStale);
      // Looked at once more: a lock that changed meanwhile is alive after all.
      auto again = ReadLockFile(path);
      if (!again.ok() || *again != current) {
        seen.reset();
        continue;
      }
      const fs::path claim = path.string() + ".broken-" + Fingerprint(current);
      step(LockStep::MovingAside);
      const BreakResult result = BreakStaleLock(path, current, claim, lock.token_, creator.UsesLinks());
      if (result == BreakResult::Broken) {
        step(LockStep::MovedAside);
        broke = true;
      }
      if (result != BreakResult::Claimed) {
        claimSeen = false;
        seen.reset();
        continue;
      }
      // Another waiter is breaking it, which takes a moment; a claim that
      // stays was left by a waiter that died right then, and goes.
      if (!claimSeen) {
        claimSeen = true;
        claimedSince = now;
      } else if (now - claimedSince >= std::min<milliseconds>(options.staleAfter, kLeftoverClaim)) {
        ::unlink(claim.c_str());
        claimSeen = false;
        continue;
      }
    }
    wait.holder = Field(current, "host");
    wait.waited = std::chrono::duration_cast<milliseconds>(now - start);
    if (now - start >= options.wait) {
      endWait();
      const std::string who = wait.holder.empty() ? "Another workstation" : wait.holder;
      return Error{Error::Kind::Busy,
                   "The data folder is busy: " + who + " has been writing to it for more than " +
                       Seconds(options.wait) + ". Nothing was written; try again in a moment."};
    }
    if (now - start >= options.noticeAfter && options.waiting) {
      shown = true;
      if (!options.waiting(wait)) {
        endWait();
        return Error{Error::Kind::Busy, "You stopped waiting for the data folder. Nothing was written."};
      }
    }
    std::uniform_int_distribution<int> pause(pauseMs, pauseMs * 2);
    std::this_thread::sleep_for(milliseconds(pause(jitter)));
    pauseMs = std::min(pauseMs * 2, 8);
  }
}

Status FolderLock::CheckStillOurs() const {
  if (options_.onStep) options_.onStep(LockStep::BeforeCommit);
  if (!held()) return Error{Error::Kind::Invalid, "The data folder's lock is not held."};
  auto current = ReadLockFile(path_);
  if (current.ok() && *current == content_) return {};
  return Error{Error::Kind::Busy,
               "This workstation lost its hold on the data folder while it was writing: it was held "
               "up for more than " + Seconds(options_.staleAfter) +
                   " and another workstation went ahead. Nothing more was written; try again."};
}

void FolderLock::Refresh() {
  if (!held()) return;
  const auto now = Now();
  if (now - lastBeat_ < options_.staleAfter / 6) return;
  lastBeat_ = now;
  const std::string next = Content(token_, beat_ + 1);
  if (WriteWhole(fd_, next)) {
    ++beat_;
    content_ = next;
  }
}

void FolderLock::Release() {
  if (!held()) return;
  if (options_.onStep) options_.onStep(LockStep::Releasing);
  // Only our own lock is removed; a lock broken as stale has another owner now.
  auto current = ReadLockFile(path_);
  if (current.ok() && *current == content_) ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
  path_.clear();
  content_.clear();
}

}  // namespace kestrova::files

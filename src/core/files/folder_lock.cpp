#include "core/files/folder_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include "core/files/file.h"
#include "core/files/file_system.h"

namespace kestrova::files {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Lock files all have this length, so a share that caches a file's length
// for a few seconds still reads a whole one.
constexpr std::size_t kContentSize = 256;
// Nothing longer is read: a lock file of any other size is not one of ours.
constexpr std::size_t kReadLimit = 4096;
// How long a release keeps trying to remove its lock while a share refuses
// (a waiter on another workstation is reading it just then).
constexpr milliseconds kReleasePatience{3000};
// How long a lock made without links is left before it is read again: a
// second workstation creating it at the same moment has written by then.
constexpr milliseconds kSettle{40};

// The folders this thread holds the lock of, by path, with a count.
thread_local std::map<std::string, int> t_held;

std::string HeldKey(const fs::path& folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, ec);
  return (ec ? folder : absolute).lexically_normal().string();
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
  if (computer.empty() || LockField(content, "machine") != computer) return false;
  const std::string pidText = LockField(content, "pid");
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
                     "\nmachine=" + ThisComputer() + "\npid=" + std::to_string(ThisProcessId()) + "\ntoken=" + token +
                     "\nbeat=" + beatText + "\n";
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
    const ssize_t n = Sys().PWrite(fd, content.data() + done, content.size() - done, done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Whether anything has the name, asked by opening it: a share may answer
// a look at its status from a cache.
bool NameTaken(const fs::path& path) {
  auto file = File::Open(path, OpenMode::Read);
  return file.ok() || file.error().kind != Error::Kind::NotFound;
}

// Makes a new file, complete with our contents, or -1 with errno.
int NewLockFile(const fs::path& path, const fs::path& folder, const std::string& content) {
  const int fd = Sys().Open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  AdoptFolderOwnership(fd, folder);
  if (!WriteWhole(fd, content)) {
    const int error = errno;
    Sys().Close(fd);
    (void)Sys().Unlink(path);
    errno = error == 0 ? EIO : error;
    return -1;
  }
  return fd;
}

// Whether the folder's file system makes hard links, tried on a file of
// our own: a failed link onto a name that is taken cannot tell (some
// shares answer EPERM for both). Nothing when the try itself failed.
std::optional<bool> ProbeLinks(const fs::path& folder, const std::string& token) {
  const fs::path probe = folder / (std::string(kLockFileName) + ".new-" + token + "-probe");
  const fs::path linked = folder / (std::string(kLockFileName) + ".new-" + token + "-probe-link");
  const int fd = Sys().Open(probe, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return std::nullopt;
  Sys().Close(fd);
  std::optional<bool> links;
  if (Sys().Link(probe, linked) == 0) {
    links = true;
    (void)UnlinkPatiently(linked, milliseconds(1000));
  } else if (IsNoLinksError(errno)) {
    links = false;
  }
  (void)UnlinkPatiently(probe, milliseconds(1000));
  if (links) RememberLinks(folder, *links);
  return links;
}

// Whether to use links in this folder: once found out, remembered.
bool LinksHere(const fs::path& folder, const std::string& token, bool allowed) {
  if (!allowed) return false;
  const auto known = TraitsOf(folder).links;
  if (known) return *known;
  return ProbeLinks(folder, token).value_or(true);
}

// Where a share has no links, its exclusive create is not exclusive
// either: smbnetfs lets two workstations "exclusively" create one name at
// the same moment, and both are told they made it. Making a directory is
// exclusive there (the server refuses a name that is taken), so without
// links every change to the lock's name, making it, moving a stale one
// aside or taking one over, is made while holding a directory beside it,
// taken for a moment and removed at once. One left by a process killed
// while holding it goes once it has been seen unchanged, by the server's
// stamp, for a while.
constexpr std::string_view kGuardSuffix = ".guard";
constexpr milliseconds kGuardStale{2000};

class CreationGuard {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  CreationGuard(fs::path path, Clock now) : path_(std::move(path)), now_(std::move(now)) {}
  ~CreationGuard() { Release(); }
  CreationGuard(const CreationGuard&) = delete;
  CreationGuard& operator=(const CreationGuard&) = delete;

  // Taken now; otherwise false, with errno EAGAIN when another holds it.
  bool TryTake() {
    if (held_) return true;
    if (Sys().MakeDir(path_, 0755) == 0) {
      held_ = true;
      seen_.reset();
      return true;
    }
    if (errno != EEXIST) return false;
    struct stat st {};
    if (Sys().LStat(path_, &st) == 0) {
      const std::int64_t stamp = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
      const auto now = now_();
      if (!seen_ || *seen_ != stamp) {
        seen_ = stamp;
        seenSince_ = now;
      } else if (now - seenSince_ >= kGuardStale) {
        (void)Sys().RemoveDir(path_);
        seen_.reset();
      }
    }
    errno = EAGAIN;
    return false;
  }

  void Release() {
    if (!held_) return;
    held_ = false;
    for (int attempt = 0; attempt < 25; ++attempt) {
      if (Sys().RemoveDir(path_) == 0 || errno == ENOENT) return;
      std::this_thread::sleep_for(milliseconds(20));
    }
  }

 private:
  fs::path path_;
  Clock now_;
  bool held_ = false;
  std::optional<std::int64_t> seen_;
  std::chrono::steady_clock::time_point seenSince_;
};

// Puts our lock file in place only when it is complete: written under a
// name of its own first, then linked to the lock's name, which fails when a
// lock is there. A reader therefore never finds a lock without its holder
// (which a holder killed between creating and writing it would leave).
// Where the file system has no links, the lock file is created directly.
class LockCreator {
 public:
  LockCreator(const fs::path& folder, const std::string& token, const std::string& content, bool useLinks,
              CreationGuard::Clock now)
      : useLink_(LinksHere(folder, token, useLinks)),
        guard_(folder / (std::string(kLockFileName) + std::string(kGuardSuffix)), std::move(now)),
        folder_(folder),
        path_(folder / kLockFileName),
        temp_(folder / (std::string(kLockFileName) + ".new-" + token)),
        content_(content),
        token_(token) {}
  ~LockCreator() { DropTemp(); }
  LockCreator(const LockCreator&) = delete;
  LockCreator& operator=(const LockCreator&) = delete;

  // Our lock in place: its descriptor. Otherwise -1, and errno EEXIST when
  // another lock is in place.
  int TryTake() {
    if (useLink_) {
      if (!tempMade_) {
        tempFd_ = NewLockFile(temp_, folder_, content_);
        if (tempFd_ < 0) return Refused(errno);
        // Closed before it is linked and its own name removed: a share
        // hides or refuses to remove a name whose file is open.
        Sys().Close(std::exchange(tempFd_, -1));
        tempMade_ = true;
      }
      const int linked = Sys().Link(temp_, path_);
      const int error = errno;
      if (linked == 0 || LinkHappened()) {
        DropTemp();
        return OpenOurs();
      }
      if (error == ENOENT && !NameTaken(temp_)) {
        // Our new file was cleared as a leftover (we were held up): again.
        tempMade_ = false;
        return Fail(EAGAIN);
      }
      if (error == EEXIST || NameTaken(path_)) return Fail(EEXIST);
      if (!IsNoLinksError(error)) return Fail(error);
      // Refused with the name free: no links here after all.
      const auto links = ProbeLinks(folder_, token_);
      if (links.value_or(true)) return Fail(error);
      useLink_ = false;
      DropTemp();
    }
    if (!guard_.TryTake()) return Refused(errno);
    const int fd = NewLockFile(path_, folder_, content_);
    const int error = errno;
    guard_.Release();
    return fd >= 0 ? fd : Refused(error);
  }

  // Without links: `change` run while holding the guard, or false when
  // another creator holds it just now.
  template <typename Change>
  bool Guarded(Change change) {
    if (!guard_.TryTake()) return false;
    change();
    guard_.Release();
    return true;
  }

  bool UsesLinks() const { return useLink_; }
  void StopUsingLinks() {
    useLink_ = false;
    DropTemp();
  }

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
  // A network file system may report a link that did happen as failed: our
  // new file then has two names.
  bool LinkHappened() {
    struct stat st {};
    return Sys().LStat(temp_, &st) == 0 && st.st_nlink == 2;
  }
  // Our lock file, opened by its name now that the new name is gone. Should
  // the server fail just then, our lock is taken out again rather than left
  // for everyone to wait on.
  int OpenOurs() {
    for (int attempt = 0; attempt < 5; ++attempt) {
      const int fd = Sys().Open(path_, O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0);
      if (fd >= 0) {
        std::string bytes(kContentSize, '\0');
        const ssize_t n = Sys().PRead(fd, bytes.data(), bytes.size(), 0);
        if (n == static_cast<ssize_t>(bytes.size()) && bytes == content_) return fd;
        Sys().Close(fd);
        if (n == static_cast<ssize_t>(bytes.size())) return Fail(EAGAIN);  // not ours: we never held it
      } else if (!IsPassingError(errno)) {
        break;
      }
      std::this_thread::sleep_for(milliseconds(20 << attempt));
    }
    auto content = ReadLockFile(path_);
    if (content.ok() && *content == content_) (void)UnlinkPatiently(path_, milliseconds(1000));
    return Fail(EAGAIN);
  }
  void DropTemp() {
    if (tempFd_ >= 0) Sys().Close(std::exchange(tempFd_, -1));
    if (tempMade_) (void)UnlinkPatiently(temp_, milliseconds(1000));
    tempMade_ = false;
  }

  bool useLink_;
  CreationGuard guard_;
  fs::path folder_;
  fs::path path_;
  fs::path temp_;
  std::string content_;
  std::string token_;
  int tempFd_ = -1;
  bool tempMade_ = false;
};

// What killed processes leave beside the lock: new locks never linked into
// place and locks moved aside by a breaker. A file counts as left over once
// it is older than the stale period by the file server's own clock, which
// stamped our lock just now; a new lock of a process of this computer that
// has ended goes at once.
void ClearLeftovers(const fs::path& folder, const std::string& ourToken, std::int64_t serverNow, milliseconds stale) {
  const std::string aside = std::string(kLockFileName) + ".broken-";
  const std::string fresh = std::string(kLockFileName) + ".new-";
  const std::int64_t oldest = serverNow - static_cast<std::int64_t>(stale.count()) * 1000000;
  std::error_code ec;
  std::vector<fs::path> names;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(aside, 0) == 0 || (name.rfind(fresh, 0) == 0 && name.find(ourToken) == std::string::npos)) {
      names.push_back(it->path());
    }
  }
  for (const fs::path& path : names) {
    struct stat st {};
    if (Sys().LStat(path, &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const std::int64_t stamp = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    bool leftover = stamp < oldest;
    if (!leftover && path.filename().string().rfind(fresh, 0) == 0) {
      auto content = ReadLockFile(path);
      leftover = content.ok() && HolderIsGoneFromThisComputer(*content);
    }
    if (leftover) (void)Sys().Unlink(path);
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

enum class BreakResult { Broken, Claimed, Changed, Gone, NoLinks, InUse };

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
    if (Sys().Link(path, claim) == 0) {
      auto claimed = ReadLockFile(claim);
      const bool same = claimed.ok() && *claimed == judged;
      if (same) (void)UnlinkPatiently(path, milliseconds(1000));
      (void)UnlinkPatiently(claim, milliseconds(1000));
      return same ? BreakResult::Broken : BreakResult::Changed;
    }
    const int error = errno;
    if (error == EEXIST || NameTaken(claim)) return BreakResult::Claimed;
    if (error == ENOENT || !NameTaken(path)) return BreakResult::Gone;
    if (IsNoLinksError(error)) return BreakResult::NoLinks;
    return BreakResult::Changed;
  }
  const fs::path aside = path.string() + ".broken-" + token;
  if (Sys().Rename(path, aside) != 0) {
    // A share refuses to rename a file that is open somewhere (another
    // waiter reading it, the holder's workstation not yet letting go).
    return errno == ENOENT ? BreakResult::Gone : BreakResult::InUse;
  }
  (void)Sys().Unlink(aside);  // cleared later if the share refuses now
  return BreakResult::Broken;
}

// Takes a stale lock over where it is, by writing our contents into it:
// what a share without links allows while the file is open elsewhere. As
// with renaming it aside, a waiter that judged the same lock may do the
// same a moment later; whoever's contents are in the file holds the lock,
// and the other finds out before it commits.
int TakeOverInPlace(const fs::path& path, const std::string& judged, const std::string& content) {
  const int fd = Sys().Open(path, O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0);
  if (fd < 0) return -1;
  std::string bytes(kReadLimit, '\0');
  const ssize_t n = Sys().PRead(fd, bytes.data(), bytes.size(), 0);
  bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (n < 0 || bytes != judged || !WriteWhole(fd, content) ||
      (judged.size() > content.size() && Sys().FTruncate(fd, content.size()) != 0)) {
    Sys().Close(fd);
    return -1;
  }
  return fd;
}

std::string Seconds(milliseconds ms) {
  const auto seconds = (ms.count() + 999) / 1000;
  return seconds <= 1 ? std::string("a second") : std::to_string(seconds) + " seconds";
}

std::int64_t ModifiedNs(const fs::path& path) {
  struct stat st {};
  if (Sys().LStat(path, &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

std::string LockField(std::string_view content, std::string_view key) {
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

std::string ThisHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "unknown";
  return name;
}

long ThisProcessId() { return static_cast<long>(::getpid()); }

bool FolderLock::HeldHere(const fs::path& folder) {
  const auto it = t_held.find(HeldKey(folder));
  return it != t_held.end() && it->second > 0;
}

FolderLock::~FolderLock() { Release(); }

FolderLock::FolderLock(FolderLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      folder_(std::move(other.folder_)),
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
    folder_ = std::move(other.folder_);
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
  lock.folder_ = folder;
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
  int lastError = 0;    // a passing error of the file server, reported at the end
  std::string current;  // the lock in the way, as last read
  LockCreator creator(folder, lock.token_, lock.content_, options.useLinks, [&lock] { return lock.Now(); });

  // Every turn of the wait ends here: it pauses, and it gives up at the
  // deadline, whatever happened in the turn.
  auto nextTurn = [&]() -> std::optional<Error> {
    const auto now = lock.Now();
    wait.holder = LockField(current, "host");
    wait.waited = std::chrono::duration_cast<milliseconds>(now - start);
    if (now - start >= options.wait) {
      endWait();
      if (lastError != 0) {
        return Error{Error::Kind::Io, "Cannot create the lock file " + std::string(kLockFileName) +
                                          " in the data folder: " + SystemErrorText(lastError) +
                                          ". Nothing was written; try again in a moment."};
      }
      const std::string who = wait.holder.empty() ? "Another workstation" : wait.holder;
      return Error{Error::Kind::Busy, "The data folder is busy: " + who + " has been writing to it for more than " +
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
    pauseMs = std::min(pauseMs * 2, lastError != 0 ? 200 : 8);
    return std::nullopt;
  };

  // Our lock is in place (fd): after breaking one where links are not
  // used, a waiter that judged the same lock could still move ours aside
  // or write over it, so we look again before going on.
  auto holdIfOurs = [&](int fd) -> bool {
    lock.fd_ = fd;
    lock.lastBeat_ = lock.Now();
    // Without links we also look again after creating it: some shares
    // (smbnetfs) create "exclusively" what another workstation is creating
    // at the same moment, and the last contents written are the holder's.
    if (!creator.UsesLinks()) {
      std::this_thread::sleep_for(milliseconds(kSettle));
      auto mine = ReadLockFile(path);
      if (!mine.ok() || *mine != lock.content_) {
        Sys().Close(std::exchange(lock.fd_, -1));
        broke = false;
        return false;
      }
    }
    ClearLeftovers(folder, lock.token_, ModifiedNs(path), options.staleAfter);
    endWait();
    ++t_held[HeldKey(folder)];
    step(LockStep::Created);
    return true;
  };

  for (;;) {
    const int fd = creator.TryTake();
    if (fd >= 0) {
      if (holdIfOurs(fd)) return lock;
      if (auto given = nextTurn()) return *given;
      continue;
    }
    const int error = errno;
    if (error == EAGAIN) {
      if (auto given = nextTurn()) return *given;
      continue;
    }
    if (error != EEXIST) {
      if (!IsPassingError(error)) {
        endWait();
        return Error{Error::Kind::Io, "Cannot create the lock file " + std::string(kLockFileName) +
                                          " in the data folder: " + SystemErrorText(error)};
      }
      lastError = error;  // the server fails for a moment: again after a pause
      if (auto given = nextTurn()) return *given;
      continue;
    }
    lastError = 0;
    auto holder = ReadLockFile(path);
    if (!holder.ok() && holder.error().kind == Error::Kind::Damaged) {
      endWait();
      return holder.error();  // not a lock file: no waiting makes it one
    }
    if (!holder.ok()) {
      // Just released, or the server failed for a moment.
      if (auto given = nextTurn()) return *given;
      continue;
    }
    current = *holder;
    const auto now = lock.Now();
    if (!seen || *seen != current) {
      seen = current;
      seenSince = now;
    }
    // A lock shorter than a whole one was left by a creator that died
    // between creating it and writing it (where there are no links); a
    // live one writes it at once, so it is stale after a moment.
    const auto staleAfter =
        current.size() < kContentSize ? std::min<milliseconds>(options.staleAfter, kLeftoverClaim) : options.staleAfter;
    if (now - seenSince >= staleAfter || HolderIsGoneFromThisComputer(current)) {
      step(LockStep::JudgedStale);
      // Looked at once more: a lock that changed meanwhile is alive after all.
      auto again = ReadLockFile(path);
      if (!again.ok() || *again != current) {
        seen.reset();
        if (auto given = nextTurn()) return *given;
        continue;
      }
      const fs::path claim = path.string() + ".broken-" + Fingerprint(current);
      step(LockStep::MovingAside);
      BreakResult result = BreakResult::NoLinks;
      if (creator.UsesLinks()) result = BreakStaleLock(path, current, claim, lock.token_, true);
      if (result == BreakResult::NoLinks && creator.UsesLinks() && !ProbeLinks(folder, lock.token_).value_or(true)) {
        // The share has no links: the stale lock is renamed aside instead.
        creator.StopUsingLinks();
      }
      int taken = -1;
      if (!creator.UsesLinks()) {
        // Only while holding the guard, and only the lock judged: another
        // waiter may have broken it and made its own just before.
        const bool guarded = creator.Guarded([&] {
          auto inPlace = ReadLockFile(path);
          if (!inPlace.ok()) {
            result = BreakResult::Gone;
          } else if (*inPlace != current) {
            result = BreakResult::Changed;
          } else {
            result = BreakStaleLock(path, current, claim, lock.token_, false);
            if (result == BreakResult::InUse) taken = TakeOverInPlace(path, current, lock.content_);
          }
        });
        if (!guarded) {
          // Another waiter is at it just now: looked at again after a pause.
          if (auto given = nextTurn()) return *given;
          continue;
        }
      }
      if (taken >= 0) {
        step(LockStep::MovedAside);
        broke = true;
        seen.reset();
        if (holdIfOurs(taken)) return lock;
        if (auto given = nextTurn()) return *given;
        continue;
      }
      if (result == BreakResult::Broken) {
        step(LockStep::MovedAside);
        broke = true;
      }
      if (result != BreakResult::Claimed) {
        claimSeen = false;
        seen.reset();
        if (result == BreakResult::Broken) continue;  // the name is free: take it at once
        if (auto given = nextTurn()) return *given;
        continue;
      }
      // Another waiter is breaking it, which takes a moment; a claim that
      // stays was left by a waiter that died right then, and goes.
      if (!claimSeen) {
        claimSeen = true;
        claimedSince = now;
      } else if (now - claimedSince >= std::min<milliseconds>(options.staleAfter, kLeftoverClaim)) {
        (void)Sys().Unlink(claim);
        claimSeen = false;
      }
    }
    if (auto given = nextTurn()) return *given;
  }
}

Status FolderLock::CheckStillOurs() const {
  if (options_.onStep) options_.onStep(LockStep::BeforeCommit);
  if (!held()) return Error{Error::Kind::Invalid, "The data folder's lock is not held."};
  auto current = ReadLockFile(path_);
  if (current.ok() && *current == content_) {
    if (options_.onStep) options_.onStep(LockStep::Checked);
    return {};
  }
  return Error{Error::Kind::Busy,
               "This workstation lost its hold on the data folder while it was writing: it was held "
               "up for more than " +
                   Seconds(options_.staleAfter) +
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
  // Only our own lock is removed; a lock broken as stale has another owner
  // now. Closed first: a share refuses to remove a file that is open.
  auto current = ReadLockFile(path_);
  Sys().Close(fd_);
  fd_ = -1;
  if (current.ok() && *current == content_) (void)UnlinkPatiently(path_, kReleasePatience);
  const auto it = t_held.find(HeldKey(folder_));
  if (it != t_held.end() && --it->second <= 0) t_held.erase(it);
  path_.clear();
  folder_.clear();
  content_.clear();
}

}  // namespace kestrova::files

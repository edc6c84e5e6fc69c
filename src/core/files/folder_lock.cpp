#include "core/files/folder_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "core/files/file.h"

namespace kestrova::files {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Field(const std::string& content, std::string_view key) {
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
      return line.substr(key.size() + 1);
    }
  }
  return {};
}

bool ProcessIsGone(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::mt19937_64& Generator() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  return generator;
}

// Removes a stale lock without ever removing a fresh one: the lock is first
// renamed aside (only one breaker can win that), then checked to still be
// the one judged stale; a lock that slipped in meanwhile is put back.
void BreakStaleLock(const fs::path& lock, const std::string& judged) {
  const fs::path aside = lock.string() + ".stale." + std::to_string(ThisProcessId()) + "." +
                         std::to_string(Generator()());
  if (std::rename(lock.c_str(), aside.c_str()) != 0) return;
  if (ReadWhole(aside) != judged) {
    if (::link(aside.c_str(), lock.c_str()) != 0) {
      // Someone else holds a newer lock already; the one set aside is moot.
    }
  }
  ::unlink(aside.c_str());
}

std::chrono::milliseconds AgeOf(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::chrono::milliseconds{0};
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const auto ms = (now.tv_sec - st.st_mtim.tv_sec) * 1000 + (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
  return std::chrono::milliseconds{ms};
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
    : path_(std::move(other.path_)), content_(std::move(other.content_)) {
  other.path_.clear();
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    Release();
    path_ = std::move(other.path_);
    content_ = std::move(other.content_);
    other.path_.clear();
  }
  return *this;
}

Result<FolderLock> FolderLock::Acquire(const fs::path& folder, const LockOptions& options) {
  const fs::path path = folder / kLockFileName;
  const std::string host = ThisHostName();
  const long pid = ThisProcessId();
  const std::string content = "host=" + host + "\npid=" + std::to_string(pid) +
                              "\ntoken=" + std::to_string(Generator()()) + "\n";
  const auto deadline = Clock::now() + options.wait;
  std::uniform_int_distribution<int> pause(2, 12);
  for (;;) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      const auto written = ::write(fd, content.data(), content.size());
      ::close(fd);
      if (written != static_cast<ssize_t>(content.size())) {
        ::unlink(path.c_str());
        return Error{Error::Kind::Io, "Cannot write the lock file in the data folder."};
      }
      FolderLock lock;
      lock.path_ = path;
      lock.content_ = content;
      return lock;
    }
    if (errno != EEXIST) {
      return Error{Error::Kind::Io, "Cannot create the lock file " + std::string(kLockFileName) +
                                        " in the data folder: " + SystemErrorText(errno)};
    }
    const std::string holder = ReadWhole(path);
    const bool sameHost = !holder.empty() && Field(holder, "host") == host;
    long holderPid = 0;
    try {
      holderPid = std::stol(Field(holder, "pid"));
    } catch (...) {
      holderPid = 0;
    }
    const bool deadHere = sameHost && holderPid != pid && ProcessIsGone(holderPid);
    if (deadHere || AgeOf(path) > options.staleAfter) {
      BreakStaleLock(path, holder);
      continue;
    }
    if (Clock::now() >= deadline) {
      std::string who = Field(holder, "host");
      if (who.empty()) who = "another workstation";
      return Error{Error::Kind::Busy,
                   "The data folder is busy: " + who + " has been writing to it for too long. "
                   "Try again in a moment."};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(Generator())));
  }
}

void FolderLock::Refresh() {
  if (!held()) return;
  if (ReadWhole(path_) == content_) ::utimensat(AT_FDCWD, path_.c_str(), nullptr, 0);
}

void FolderLock::Release() {
  if (!held()) return;
  // Only our own lock is removed; a lock broken as stale has another owner now.
  if (ReadWhole(path_) == content_) ::unlink(path_.c_str());
  path_.clear();
  content_.clear();
}

}  // namespace kestrova::files

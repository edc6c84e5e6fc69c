#pragma once

// A file server's ways over the local disk: what an SMB share does to the
// calls the program makes, so every such case runs in the ordinary suite.
// It has no hard links; it refuses to remove a file that is open, or to
// rename over one; it refuses append mode (failing the open with EIO after
// creating the file empty); it fails creates with EIO for a while when told
// to; and it can keep a removed name in a cache, as sshfs does.

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "core/files/file_system.h"

namespace kestrova::testing {

class SmbLikeFileSystem : public files::FileSystem {
 public:
  bool links = false;  // a link fails with linkError
  int linkError = EPERM;
  bool appendMode = false;  // an open in append mode fails with EIO
  bool guardOpenFiles = true;
  std::atomic<int> failingCreates{0};  // the next creates fail with EIO
  std::atomic<int> failingWrites{0};   // the next writes fail with EIO
  // An exclusive create looks for the name and, finding it free, creates it
  // a moment later whatever is there by then (as smbnetfs does when two
  // workstations create one name at once): up to this long later.
  std::chrono::milliseconds racingCreates{0};

  // Called after each write at the end of a file (append mode), with its name.
  std::function<void(const std::filesystem::path&)> afterAppend;

  std::atomic<int> linkCalls{0};
  std::atomic<int> refusedRemoves{0};
  std::atomic<int> refusedRenames{0};
  std::atomic<int> refusedAppends{0};

  // A name the cache still shows after it was removed elsewhere: an
  // exclusive create fails with EEXIST until the name is removed here.
  void Ghost(const std::filesystem::path& path) {
    std::lock_guard<std::mutex> guard(mutex_);
    ghosts_.insert(path.lexically_normal().string());
  }
  int OpenCount() {
    std::lock_guard<std::mutex> guard(mutex_);
    return static_cast<int>(open_.size());
  }

  int Open(const std::filesystem::path& path, int flags, unsigned mode) override {
    if ((flags & O_CREAT) && failingCreates.load() > 0 && failingCreates.fetch_sub(1) > 0) {
      errno = EIO;
      return -1;
    }
    if ((flags & O_CREAT) && (flags & O_EXCL)) {
      std::lock_guard<std::mutex> guard(mutex_);
      if (ghosts_.count(path.lexically_normal().string())) {
        errno = EEXIST;
        return -1;
      }
    }
    if ((flags & O_CREAT) && (flags & O_EXCL) && racingCreates.count() > 0) {
      struct stat st {};
      if (FileSystem::LStat(path, &st) == 0) {
        errno = EEXIST;
        return -1;
      }
      thread_local std::mt19937 late{std::random_device{}()};
      std::this_thread::sleep_for(std::chrono::milliseconds(
          std::uniform_int_distribution<int>(0, static_cast<int>(racingCreates.count()))(late)));
      flags = (flags & ~O_EXCL) | O_TRUNC;
    }
    if ((flags & O_APPEND) && !appendMode) {
      ++refusedAppends;
      if (flags & O_CREAT) {
        const int made = FileSystem::Open(path, (flags & ~O_APPEND & ~O_EXCL & ~O_ACCMODE) | O_WRONLY, mode);
        if (made >= 0) FileSystem::Close(made);
      }
      errno = EIO;
      return -1;
    }
    const int fd = FileSystem::Open(path, flags, mode);
    if (fd >= 0) {
      struct stat st {};
      if (FileSystem::FStat(fd, &st) == 0) {
        std::lock_guard<std::mutex> guard(mutex_);
        open_[fd] = {st.st_dev, st.st_ino};
        names_[fd] = path;
      }
    }
    return fd;
  }
  int Close(int fd) override {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      open_.erase(fd);
      names_.erase(fd);
    }
    return FileSystem::Close(fd);
  }
  ssize_t PWrite(int fd, const void* data, std::size_t size, std::uint64_t offset) override {
    if (failingWrites.load() > 0 && failingWrites.fetch_sub(1) > 0) {
      errno = EIO;
      return -1;
    }
    return FileSystem::PWrite(fd, data, size, offset);
  }
  ssize_t Write(int fd, const void* data, std::size_t size) override {
    const ssize_t n = FileSystem::Write(fd, data, size);
    if (n > 0 && afterAppend) {
      std::filesystem::path name;
      {
        std::lock_guard<std::mutex> guard(mutex_);
        name = names_[fd];
      }
      afterAppend(name);
    }
    return n;
  }
  int Link(const std::filesystem::path& from, const std::filesystem::path& to) override {
    ++linkCalls;
    if (links) return FileSystem::Link(from, to);
    struct stat st {};
    errno = FileSystem::LStat(to, &st) == 0 ? EEXIST : linkError;
    return -1;
  }
  int Unlink(const std::filesystem::path& path) override {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      if (ghosts_.erase(path.lexically_normal().string()) > 0) {
        errno = ENOENT;  // removed elsewhere; the cache forgets it now
        return -1;
      }
    }
    if (IsOpen(path)) {
      ++refusedRemoves;
      errno = EBUSY;
      return -1;
    }
    return FileSystem::Unlink(path);
  }
  int Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    if (IsOpen(to)) {
      ++refusedRenames;
      errno = EBUSY;
      return -1;
    }
    return FileSystem::Rename(from, to);
  }

 private:
  bool IsOpen(const std::filesystem::path& path) {
    if (!guardOpenFiles) return false;
    struct stat st {};
    if (FileSystem::LStat(path, &st) != 0) return false;
    std::lock_guard<std::mutex> guard(mutex_);
    for (const auto& [fd, id] : open_) {
      if (id.first == st.st_dev && id.second == st.st_ino) return true;
    }
    return false;
  }

  std::mutex mutex_;
  std::map<int, std::pair<dev_t, ino_t>> open_;
  std::map<int, std::filesystem::path> names_;
  std::set<std::string> ghosts_;
};

// Puts a file system in place for the length of a scope.
class UsingFileSystem {
 public:
  explicit UsingFileSystem(files::FileSystem& fs) : previous_(files::UseFileSystem(&fs)) {}
  ~UsingFileSystem() { files::UseFileSystem(previous_); }
  UsingFileSystem(const UsingFileSystem&) = delete;
  UsingFileSystem& operator=(const UsingFileSystem&) = delete;

 private:
  files::FileSystem* previous_;
};

}  // namespace kestrova::testing

#include "core/files/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace kestrova::files {
namespace {

namespace fs = std::filesystem;

std::atomic<FileSystem*> g_installed{nullptr};

FileSystem& Real() {
  static FileSystem real;
  return real;
}

std::mutex& TraitsMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, FolderTraits>& Traits() {
  static std::map<std::string, FolderTraits> traits;
  return traits;
}

std::string KeyOf(const fs::path& folder) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, ec);
  return (ec ? folder : absolute).lexically_normal().string();
}

template <class Call>
int Patiently(std::chrono::milliseconds patience, Call call) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  auto pause = std::chrono::milliseconds(5);
  for (;;) {
    const int rc = call();
    if (rc == 0) return 0;
    const int error = errno;
    // EEXIST: a rename over a file another client of a share has open.
    if ((!IsPassingError(error) && error != EEXIST) || std::chrono::steady_clock::now() >= deadline) {
      errno = error;
      return rc;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(100));
  }
}

}  // namespace

int FileSystem::Open(const fs::path& path, int flags, unsigned mode) {
  return ::open(path.c_str(), flags, static_cast<mode_t>(mode));
}
int FileSystem::Close(int fd) { return ::close(fd); }
ssize_t FileSystem::PRead(int fd, void* data, std::size_t size, std::uint64_t offset) {
  return ::pread(fd, data, size, static_cast<off_t>(offset));
}
ssize_t FileSystem::PReadCached(int fd, void* data, std::size_t size, std::uint64_t offset) {
  iovec part{data, size};
  return ::preadv2(fd, &part, 1, static_cast<off_t>(offset), RWF_NOWAIT);
}
ssize_t FileSystem::PWrite(int fd, const void* data, std::size_t size, std::uint64_t offset) {
  return ::pwrite(fd, data, size, static_cast<off_t>(offset));
}
ssize_t FileSystem::Write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
off_t FileSystem::Seek(int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); }
int FileSystem::FStat(int fd, struct stat* st) { return ::fstat(fd, st); }
int FileSystem::FreshSize(int fd, std::uint64_t* size) {
  struct statx sx {};
  if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_FORCE_SYNC, STATX_SIZE, &sx) == 0 && (sx.stx_mask & STATX_SIZE)) {
    *size = sx.stx_size;
    return 0;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  *size = static_cast<std::uint64_t>(st.st_size);
  return 0;
}
int FileSystem::LStat(const fs::path& path, struct stat* st) { return ::lstat(path.c_str(), st); }
int FileSystem::FTruncate(int fd, std::uint64_t length) { return ::ftruncate(fd, static_cast<off_t>(length)); }
int FileSystem::FSync(int fd) { return ::fsync(fd); }
int FileSystem::Advise(int fd, std::uint64_t offset, std::uint64_t length, int advice) {
  const int error = ::posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(length), advice);
  if (error == 0) return 0;
  errno = error;
  return -1;
}
int FileSystem::SyncRange(int fd, std::uint64_t offset, std::uint64_t length) {
  return ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(length),
                           SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
}
int FileSystem::StartWriteBack(int fd, std::uint64_t offset, std::uint64_t length) {
  return ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
}
int FileSystem::FChmod(int fd, unsigned mode) { return ::fchmod(fd, static_cast<mode_t>(mode)); }
int FileSystem::FChown(int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); }
int FileSystem::Link(const fs::path& from, const fs::path& to) { return ::link(from.c_str(), to.c_str()); }
int FileSystem::Unlink(const fs::path& path) { return ::unlink(path.c_str()); }
int FileSystem::Rename(const fs::path& from, const fs::path& to) { return std::rename(from.c_str(), to.c_str()); }
int FileSystem::MakeDir(const fs::path& path, unsigned mode) {
  return ::mkdir(path.c_str(), static_cast<mode_t>(mode));
}
int FileSystem::RemoveDir(const fs::path& path) { return ::rmdir(path.c_str()); }

FileSystem& Sys() {
  FileSystem* installed = g_installed.load();
  return installed ? *installed : Real();
}

FileSystem* UseFileSystem(FileSystem* fs) {
  ForgetFolderTraits();
  return g_installed.exchange(fs);
}

FolderTraits TraitsOf(const fs::path& folder) {
  std::lock_guard<std::mutex> guard(TraitsMutex());
  const auto it = Traits().find(KeyOf(folder));
  return it == Traits().end() ? FolderTraits{} : it->second;
}

void RememberLinks(const fs::path& folder, bool links) {
  std::lock_guard<std::mutex> guard(TraitsMutex());
  Traits()[KeyOf(folder)].links = links;
}

void RememberAppend(const fs::path& folder, bool append) {
  std::lock_guard<std::mutex> guard(TraitsMutex());
  Traits()[KeyOf(folder)].append = append;
}

void ForgetFolderTraits() {
  std::lock_guard<std::mutex> guard(TraitsMutex());
  Traits().clear();
}

bool IsPassingError(int error) {
  return error == EIO || error == EAGAIN || error == EBUSY || error == ETXTBSY || error == EINTR ||
         error == ETIMEDOUT || error == ECONNRESET || error == ECONNABORTED || error == ENOTCONN || error == ESTALE;
}

bool IsNoLinksError(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV || error == EMLINK;
}

int UnlinkPatiently(const fs::path& path, std::chrono::milliseconds patience) {
  return Patiently(patience, [&] { return Sys().Unlink(path); });
}

int RenamePatiently(const fs::path& from, const fs::path& to, std::chrono::milliseconds patience) {
  return Patiently(patience, [&] { return Sys().Rename(from, to); });
}

}  // namespace kestrova::files

#include "core/files/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestrova::files {
namespace {

Error IoError(const std::filesystem::path& path, std::string_view what, int error) {
  return Error{Error::Kind::Io, std::string(what) + " " + path.filename().string() + ": " +
                                    SystemErrorText(error)};
}

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

Error NotAFile(const std::filesystem::path& path, const std::string& kind) {
  return Error{Error::Kind::Damaged,
               path.filename().string() + " in the data folder is " + kind +
                   ", not a file the program keeps there. Nothing was read or written; move it "
                   "out of the folder."};
}

// What an open that failed says: a link, a folder or a pipe without a
// reader (ENXIO) is not a file of ours, whatever its name.
Error OpenError(const std::filesystem::path& path, int error) {
  if (error == ENOENT) {
    Error e = IoError(path, "Cannot open", error);
    e.kind = Error::Kind::NotFound;
    return e;
  }
  if (error == ELOOP) return NotAFile(path, "a symbolic link");
  if (error == EISDIR) return NotAFile(path, "a folder");
  if (error == ENXIO) return NotAFile(path, "a pipe or a device");
  return IoError(path, "Cannot open", error);
}

}  // namespace

std::string SystemErrorText(int error) { return std::strerror(error); }

std::string Capitalized(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

unsigned FolderFileMode(const std::filesystem::path& folder) {
  struct stat st {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return 0644;
  unsigned mode = 0;
  for (const unsigned shift : {6u, 3u, 0u}) {
    if (st.st_mode & (S_IROTH << shift)) mode |= S_IROTH << shift;
    if (st.st_mode & (S_IWOTH << shift)) mode |= S_IWOTH << shift;
  }
  return mode | S_IRUSR | S_IWUSR;
}

File::~File() {
  if (fd_ >= 0) ::close(fd_);
}

File::File(File&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

Result<File> File::Open(const std::filesystem::path& path, OpenMode mode) {
  // Not following a link and not waiting on a pipe or a device: the kind of
  // file is checked once it is open.
  const int common = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  const int access = mode == OpenMode::Read     ? O_RDONLY
                     : mode == OpenMode::Append ? O_WRONLY | O_APPEND
                                                : O_RDWR;
  int fd = -1;
  bool created = false;
  if (mode == OpenMode::CreateNew) {
    fd = ::open(path.c_str(), common | access | O_CREAT | O_EXCL, 0600);
    created = fd >= 0;
  } else {
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      fd = ::open(path.c_str(), common | access);
      if (fd >= 0 || errno != ENOENT || (mode != OpenMode::CreateReadWrite && mode != OpenMode::Append)) break;
      // Created here, so its permissions can be set; someone else creating
      // it at the same moment just means it is opened on the next turn.
      fd = ::open(path.c_str(), common | access | O_CREAT | O_EXCL, 0600);
      created = fd >= 0;
      if (fd < 0 && errno != EEXIST) break;
    }
  }
  if (fd < 0) return OpenError(path, errno);
  File file;
  file.fd_ = fd;
  file.path_ = path;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return IoError(path, "Cannot read the kind of", errno);
  if (!S_ISREG(st.st_mode)) return NotAFile(path, KindOf(st.st_mode));
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (created) ::fchmod(fd, FolderFileMode(path.parent_path()));
  return file;
}

Result<std::uint64_t> File::Size() const {
  // Asked of the file system itself: a network share may otherwise answer
  // from a cache several seconds old.
  struct statx sx {};
  if (::statx(fd_, "", AT_EMPTY_PATH | AT_STATX_FORCE_SYNC, STATX_SIZE, &sx) == 0 &&
      (sx.stx_mask & STATX_SIZE)) {
    return static_cast<std::uint64_t>(sx.stx_size);
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return IoError(path_, "Cannot read the size of", errno);
  return static_cast<std::uint64_t>(st.st_size);
}

Result<std::size_t> File::ReadSome(std::uint64_t offset, char* data, std::size_t size) const {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return IoError(path_, "Cannot read", errno);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

Status File::ReadAt(std::uint64_t offset, char* data, std::size_t size) const {
  const auto n = ReadSome(offset, data, size);
  if (!n.ok()) return n.error();
  if (*n != size) {
    return Error{Error::Kind::Damaged,
                 "Unexpected end of " + path_.filename().string() + " at byte " +
                     std::to_string(offset + *n)};
  }
  return {};
}

Status File::WriteAt(std::uint64_t offset, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return IoError(path_, "Cannot write", errno);
    }
    if (n == 0) return IoError(path_, "Cannot write", ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Result<File::Appended> File::AppendOnce(const char* data, std::size_t size) {
  for (;;) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return IoError(path_, "Cannot write", errno);
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    if (end < 0) return IoError(path_, "Cannot write", errno);
    return Appended{static_cast<std::size_t>(n), static_cast<std::uint64_t>(end)};
  }
}

Status File::Truncate(std::uint64_t length) {
  while (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
    if (errno != EINTR) return IoError(path_, "Cannot shorten", errno);
  }
  return {};
}

Status File::Sync() {
  if (::fsync(fd_) != 0) return IoError(path_, "Cannot flush", errno);
  return {};
}

Status File::Close() {
  if (fd_ < 0) return {};
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return IoError(path_, "Cannot close", errno);
  return {};
}

Result<bool> RegularFileExists(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return false;
    return IoError(path, "Cannot look at", errno);
  }
  if (!S_ISREG(st.st_mode)) return NotAFile(path, KindOf(st.st_mode));
  return true;
}

Result<std::optional<FileStamp>> StampOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::optional<FileStamp>();
    return IoError(path, "Cannot look at", errno);
  }
  return std::optional<FileStamp>(FileStamp{static_cast<std::uint64_t>(st.st_size),
                                            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
}

void ClearOldReadOnlyMark(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  if ((st.st_mode & S_IWUSR) == 0 && st.st_uid == ::geteuid()) {
    ::chmod(path.c_str(), (st.st_mode | S_IWUSR | ((st.st_mode & S_IRGRP) ? S_IWGRP : 0)) & 07777);
  }
}

Status SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return IoError(folder, "Cannot open folder", errno);
  // Some network file systems refuse to flush a folder; the rename itself stands.
  const int rc = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  if (rc != 0 && error != EINVAL && error != ENOTSUP && error != ENOSYS) {
    return IoError(folder, "Cannot flush folder", error);
  }
  return {};
}

Status ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target) {
  if (std::rename(source.c_str(), target.c_str()) != 0) {
    return IoError(source, "Cannot rename", errno);
  }
  return SyncFolder(target.parent_path());
}

}  // namespace kestrova::files

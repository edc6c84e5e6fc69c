#include "core/files/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "core/files/file_system.h"

namespace kestrova::files {
namespace {

Error IoError(const std::filesystem::path& path, std::string_view what, int error) {
  return Error{Error::Kind::Io, std::string(what) + " " + path.filename().string() + ": " + SystemErrorText(error)};
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
  return Error{Error::Kind::Damaged, path.filename().string() + " in the data folder is " + kind +
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

std::string SystemErrorText(int error) {
  std::string text = std::strerror(error);
  if (error == ENOSPC || error == EDQUOT) {
    text += " (the disk holding the data folder is full: free space on it, then try again)";
  }
  return text;
}

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

void AdoptFolderOwnership(int fd, const std::filesystem::path& folder) {
  struct stat dir {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &dir) != 0) return;
  struct stat own {};
  // The group first: a member of the folder's group may hand its file to
  // that group, and the mode set afterwards is then the one that holds.
  if (Sys().FStat(fd, &own) == 0 && own.st_gid != dir.st_gid) {
    (void)Sys().FChown(fd, static_cast<uid_t>(-1), dir.st_gid);
  }
  (void)Sys().FChmod(fd, FolderFileMode(folder));
}

File::~File() {
  if (fd_ >= 0) Sys().Close(fd_);
}

File::File(File&& other) noexcept : fd_(other.fd_), created_(other.created_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) Sys().Close(fd_);
    fd_ = other.fd_;
    created_ = other.created_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

Result<File> File::Open(const std::filesystem::path& path, OpenMode mode) {
  // Not following a link and not waiting on a pipe or a device: the kind of
  // file is checked once it is open.
  const int common = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  const int access = mode == OpenMode::Read ? O_RDONLY : mode == OpenMode::Append ? O_RDWR | O_APPEND : O_RDWR;
  FileSystem& sys = Sys();
  int fd = -1;
  bool created = false;
  if (mode == OpenMode::CreateNew) {
    fd = sys.Open(path, common | access | O_CREAT | O_EXCL, 0600);
    created = fd >= 0;
  } else if (mode == OpenMode::Fresh) {
    // A leftover is removed and the file made again. A share's cache may
    // still show a file another workstation removed, refusing the create
    // and the removal alike: a file made under a name of its own and
    // renamed into place then replaces the cached entry.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int turn = 0;; ++turn) {
      fd = sys.Open(path, common | access | O_CREAT | O_EXCL, 0600);
      if (fd < 0 && errno == EEXIST) {
        if (UnlinkPatiently(path) == 0 || errno == ENOENT)
          fd = sys.Open(path, common | access | O_CREAT | O_EXCL, 0600);
      }
      if (fd < 0 && errno == EEXIST) {
        const std::filesystem::path own =
            path.string() + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(turn);
        const int made = sys.Open(own, common | access | O_CREAT | O_EXCL, 0600);
        if (made >= 0) {
          sys.Close(made);
          if (RenamePatiently(own, path) == 0) {
            fd = sys.Open(path, common | access, 0);
          } else {
            (void)sys.Unlink(own);
          }
        }
        if (fd < 0 && errno == 0) errno = EEXIST;
      }
      if (fd >= 0) {
        created = true;
        break;
      }
      const int error = errno;
      if ((error != EEXIST && error != ENOENT && !IsPassingError(error)) ||
          std::chrono::steady_clock::now() >= deadline) {
        errno = error;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  } else {
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      fd = sys.Open(path, common | access, 0);
      if (fd >= 0 || errno != ENOENT || (mode != OpenMode::CreateReadWrite && mode != OpenMode::Append)) break;
      // Created here, so its permissions can be set; someone else creating
      // it at the same moment just means it is opened on the next turn.
      fd = sys.Open(path, common | access | O_CREAT | O_EXCL, 0600);
      created = fd >= 0;
      if (fd < 0 && errno != EEXIST) break;
    }
  }
  if (fd < 0) return OpenError(path, errno);
  File file;
  file.fd_ = fd;
  file.created_ = created;
  file.path_ = path;
  struct stat st {};
  if (sys.FStat(fd, &st) != 0) return IoError(path, "Cannot read the kind of", errno);
  if (!S_ISREG(st.st_mode)) return NotAFile(path, KindOf(st.st_mode));
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (created) AdoptFolderOwnership(fd, path.parent_path());
  return file;
}

bool File::StillNamed() const {
  struct stat mine {};
  struct stat named {};
  if (Sys().FStat(fd_, &mine) != 0) return false;
  if (Sys().LStat(path_, &named) != 0) return false;
  return mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

bool File::HasHoles(std::uint64_t size) const {
  if (size == 0) return false;
  const off_t hole = Sys().Seek(fd_, 0, SEEK_HOLE);
  return hole >= 0 && static_cast<std::uint64_t>(hole) < size;
}

Result<std::uint64_t> File::Size() const {
  // Asked of the file system itself: a network share may otherwise answer
  // from a cache several seconds old.
  std::uint64_t size = 0;
  if (Sys().FreshSize(fd_, &size) != 0) return IoError(path_, "Cannot read the size of", errno);
  return size;
}

Result<std::size_t> File::ReadSome(std::uint64_t offset, char* data, std::size_t size) const {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = Sys().PRead(fd_, data + done, size - done, offset + done);
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
                 "Unexpected end of " + path_.filename().string() + " at byte " + std::to_string(offset + *n)};
  }
  return {};
}

bool File::ReadCached(std::uint64_t offset, char* data, std::size_t size) const {
  const ssize_t n = Sys().PReadCached(fd_, data, size, offset);
  return n == static_cast<ssize_t>(size);
}

Status File::WriteAt(std::uint64_t offset, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = Sys().PWrite(fd_, data + done, size - done, offset + done);
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
    const ssize_t n = Sys().Write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return IoError(path_, "Cannot write", errno);
    const off_t end = Sys().Seek(fd_, 0, SEEK_CUR);
    if (end < 0) return IoError(path_, "Cannot write", errno);
    return Appended{static_cast<std::size_t>(n), static_cast<std::uint64_t>(end)};
  }
}

Status File::Truncate(std::uint64_t length) {
  while (Sys().FTruncate(fd_, length) != 0) {
    if (errno != EINTR) return IoError(path_, "Cannot shorten", errno);
  }
  return {};
}

Status File::Sync() {
  if (Sys().FSync(fd_) != 0) return IoError(path_, "Cannot flush", errno);
  return {};
}

void File::Advise(Access access, std::uint64_t offset, std::uint64_t length) const {
  const int advice = access == Access::Sequential ? POSIX_FADV_SEQUENTIAL : POSIX_FADV_WILLNEED;
  (void)Sys().Advise(fd_, offset, length, advice);
}

Status File::SyncRange(std::uint64_t offset, std::uint64_t length) {
  if (Sys().SyncRange(fd_, offset, length) != 0 && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
      errno != ESPIPE) {
    return IoError(path_, "Cannot flush", errno);
  }
  return {};
}

void File::StartWriteBack(std::uint64_t offset, std::uint64_t length) {
  (void)Sys().StartWriteBack(fd_, offset, length);
}

Status File::SetPermissions(unsigned mode, gid_t group) {
  struct stat st {};
  if (Sys().FStat(fd_, &st) == 0 && st.st_gid != group) (void)Sys().FChown(fd_, static_cast<uid_t>(-1), group);
  if (Sys().FChmod(fd_, mode) != 0) return IoError(path_, "Cannot set the permissions of", errno);
  return {};
}

Status File::Close() {
  if (fd_ < 0) return {};
  const int fd = fd_;
  fd_ = -1;
  if (Sys().Close(fd) != 0) return IoError(path_, "Cannot close", errno);
  return {};
}

Result<bool> RegularFileExists(const std::filesystem::path& path) {
  struct stat st {};
  if (Sys().LStat(path, &st) != 0) {
    if (errno == ENOENT) return false;
    return IoError(path, "Cannot look at", errno);
  }
  if (!S_ISREG(st.st_mode)) return NotAFile(path, KindOf(st.st_mode));
  return true;
}

Result<std::optional<FileStamp>> StampOf(const std::filesystem::path& path) {
  struct stat st {};
  if (Sys().LStat(path, &st) != 0) {
    if (errno == ENOENT) return std::optional<FileStamp>();
    return IoError(path, "Cannot look at", errno);
  }
  return std::optional<FileStamp>(
      FileStamp{static_cast<std::uint64_t>(st.st_size),
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
  if (rc != 0 && error != EINVAL && error != ENOTSUP && error != ENOSYS && error != EIO) {
    return IoError(folder, "Cannot flush folder", error);
  }
  return {};
}

Status RemoveFile(const std::filesystem::path& path) {
  if (UnlinkPatiently(path) != 0 && errno != ENOENT) return IoError(path, "Cannot remove", errno);
  return {};
}

Status ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target) {
  if (RenamePatiently(source, target) != 0) {
    return IoError(source, "Cannot rename", errno);
  }
  return SyncFolder(target.parent_path());
}

}  // namespace kestrova::files

#include "core/files/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestrova::files {
namespace {

Error IoError(const std::filesystem::path& path, std::string_view what, int error) {
  return Error{Error::Kind::Io, std::string(what) + " " + path.filename().string() + ": " +
                                    SystemErrorText(error)};
}

}  // namespace

std::string SystemErrorText(int error) { return std::strerror(error); }

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
  int flags = O_CLOEXEC;
  switch (mode) {
    case OpenMode::Read: flags |= O_RDONLY; break;
    case OpenMode::ReadWrite: flags |= O_RDWR; break;
    case OpenMode::CreateReadWrite: flags |= O_RDWR | O_CREAT; break;
    case OpenMode::Truncate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) {
    const int error = errno;
    Error e = IoError(path, "Cannot open", error);
    if (error == ENOENT) e.kind = Error::Kind::NotFound;
    return e;
  }
  File file;
  file.fd_ = fd;
  file.path_ = path;
  return file;
}

Result<std::uint64_t> File::Size() const {
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
    done += static_cast<std::size_t>(n);
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

Status SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return IoError(folder, "Cannot open folder", errno);
  // Some network file systems refuse to flush a folder; the rename itself stands.
  const int rc = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  if (rc != 0 && error != EINVAL && error != ENOTSUP) return IoError(folder, "Cannot flush folder", error);
  return {};
}

Status ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target) {
  if (std::rename(source.c_str(), target.c_str()) != 0) {
    return IoError(source, "Cannot rename", errno);
  }
  return SyncFolder(target.parent_path());
}

}  // namespace kestrova::files

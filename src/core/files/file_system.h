#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

// The system calls through which the data folder is reached, in one place.
// The program uses the operating system's own; a test puts a file server's
// ways in between (a share without links, one that refuses to remove or
// rename an open file, refuses append mode, or fails for a moment), so
// every such case can be forced without the server.
//
// Each call behaves as its system call: a result below 0 means failure,
// with the reason in errno.
namespace kestrova::files {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual int Open(const std::filesystem::path& path, int flags, unsigned mode);
  virtual int Close(int fd);
  virtual ssize_t PRead(int fd, void* data, std::size_t size, std::uint64_t offset);
  // A read that only takes what the page cache holds: EAGAIN (or
  // EOPNOTSUPP where the file system cannot tell) when it would wait.
  virtual ssize_t PReadCached(int fd, void* data, std::size_t size, std::uint64_t offset);
  virtual ssize_t PWrite(int fd, const void* data, std::size_t size, std::uint64_t offset);
  // A write at the descriptor's position (the end, in append mode).
  virtual ssize_t Write(int fd, const void* data, std::size_t size);
  virtual off_t Seek(int fd, off_t offset, int whence);
  virtual int FStat(int fd, struct stat* st);
  // The size asked of the file's own system, past any cache it can skip.
  virtual int FreshSize(int fd, std::uint64_t* size);
  virtual int LStat(const std::filesystem::path& path, struct stat* st);
  virtual int FTruncate(int fd, std::uint64_t length);
  virtual int FSync(int fd);
  // Tells the file's system how it will be read (posix_fadvise): only a
  // hint, whose failure changes nothing.
  virtual int Advise(int fd, std::uint64_t offset, std::uint64_t length, int advice);
  // Writes a range of the file's data to the disk and waits for it (not
  // its size or times: FSync does those).
  virtual int SyncRange(int fd, std::uint64_t offset, std::uint64_t length);
  // Starts writing a range of the file's data to the disk without waiting
  // for it, so the disk is kept busy while more is written.
  virtual int StartWriteBack(int fd, std::uint64_t offset, std::uint64_t length);
  virtual int FChmod(int fd, unsigned mode);
  virtual int FChown(int fd, uid_t owner, gid_t group);
  virtual int Link(const std::filesystem::path& from, const std::filesystem::path& to);
  virtual int Unlink(const std::filesystem::path& path);
  virtual int Rename(const std::filesystem::path& from, const std::filesystem::path& to);
  virtual int MakeDir(const std::filesystem::path& path, unsigned mode);
  virtual int RemoveDir(const std::filesystem::path& path);
};

// The file system in force: the operating system's unless a test put
// another in place.
FileSystem& Sys();
// Puts `fs` in place (nullptr: the operating system's again) and returns
// the one it replaces. Every folder's remembered traits are forgotten.
FileSystem* UseFileSystem(FileSystem* fs);

// What a data folder's file system can do, found out once per folder and
// process: whether it has hard links and whether it honours append mode.
// Unknown until first needed.
struct FolderTraits {
  std::optional<bool> links;
  std::optional<bool> append;
};
FolderTraits TraitsOf(const std::filesystem::path& folder);
void RememberLinks(const std::filesystem::path& folder, bool links);
void RememberAppend(const std::filesystem::path& folder, bool append);
void ForgetFolderTraits();

// Errors a file server gives for a moment (a dropped connection, a file
// another client has open), worth another try after a pause.
bool IsPassingError(int error);
// What a link that cannot be made at all fails with.
bool IsNoLinksError(int error);

// Removes and renames that a file server may refuse while another client
// has the file open: tried again with a pause until `patience` has passed.
// The last try's result, as the system call's.
int UnlinkPatiently(const std::filesystem::path& path,
                    std::chrono::milliseconds patience = std::chrono::milliseconds(5000));
int RenamePatiently(const std::filesystem::path& from, const std::filesystem::path& to,
                    std::chrono::milliseconds patience = std::chrono::milliseconds(5000));

}  // namespace kestrova::files

#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/status.h"

// The few file operations the record files need, over the operating
// system's own calls so that positioned reads, writes and flushes to disk
// are what they say.
//
// Every file of the data folder is opened as itself: never through a
// symbolic link, and only when it is a regular file, so a link pointing out
// of the folder, a pipe or a device put in a file's place is refused at
// once instead of being written through or waited on.
namespace kestrova::files {

enum class OpenMode {
  Read,             // existing file, reading only
  ReadWrite,        // existing file
  CreateReadWrite,  // created empty when missing
  CreateNew,        // a new file; an existing one is an error
  Fresh,            // a new file under the folder's lock: anything left under the name is
                    // a leftover, removed first (temporary files)
  Append,           // writing at the end only, created empty when missing (logs, appends)
};

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // A file this call creates gets the write permissions its folder has, and
  // the folder's group, so every account that may write the folder may
  // write the file too.
  static Result<File> Open(const std::filesystem::path& path, OpenMode mode);

  bool is_open() const { return fd_ >= 0; }
  const std::filesystem::path& path() const { return path_; }
  // Whether this open created the file.
  bool created() const { return created_; }
  // Whether the file's name still names this file: false once it was
  // removed or replaced (by another workstation, say) since it was opened.
  bool StillNamed() const;
  // Whether the file of that size has holes: bytes never written, which no
  // file of ours has. A file system that cannot tell says no.
  bool HasHoles(std::uint64_t size) const;

  // The length as the file's own system knows it now: on a network share a
  // cached length could hide another workstation's append.
  Result<std::uint64_t> Size() const;
  // Reads exactly size bytes at offset; a short read is an error.
  Status ReadAt(std::uint64_t offset, char* data, std::size_t size) const;
  // Reads up to size bytes; returns how many were read (0 at the end).
  Result<std::size_t> ReadSome(std::uint64_t offset, char* data, std::size_t size) const;
  // Reads exactly size bytes at offset only when the page cache holds them
  // all: false when it does not (or cannot say), and nothing is waited for.
  bool ReadCached(std::uint64_t offset, char* data, std::size_t size) const;
  Status WriteAt(std::uint64_t offset, const char* data, std::size_t size);
  // One write at the end of a file opened for appending, so that lines from
  // several workstations never interleave. Returns how many bytes went in
  // and where the file's end was after them.
  struct Appended {
    std::size_t bytes = 0;
    std::uint64_t end = 0;
  };
  Result<Appended> AppendOnce(const char* data, std::size_t size);
  // Cuts the file to a length.
  Status Truncate(std::uint64_t length);
  // Flushes the written data to the disk.
  Status Sync();
  // How the file is about to be read, as a hint to its system: in order
  // (Sequential), or these bytes soon (WillNeed, read ahead meanwhile).
  enum class Access { Sequential, WillNeed };
  void Advise(Access access, std::uint64_t offset = 0, std::uint64_t length = 0) const;
  // Flushes the data of part of the file; a file system that cannot says
  // nothing, and Sync does it later.
  Status SyncRange(std::uint64_t offset, std::uint64_t length);
  // Starts writing part of the file to the disk and returns at once; only
  // a hint, SyncRange or Sync still waits for it.
  void StartWriteBack(std::uint64_t offset, std::uint64_t length);
  // Gives the file these permission bits, and this group where this
  // account may hand it to that group.
  Status SetPermissions(unsigned mode, gid_t group);
  Status Close();

 private:
  int fd_ = -1;
  bool created_ = false;
  std::filesystem::path path_;
};

// Describes an operating-system error for a message; a full disk says
// what to do about it.
std::string SystemErrorText(int error);

// The permission bits for a new file of the folder: read and write for
// whoever may read and write the folder.
unsigned FolderFileMode(const std::filesystem::path& folder);

// Whether a file of the data folder is there: false when nothing has the
// name, true for a regular file, an error for anything else (a folder, a
// link, a device) so it is never taken for "no file".
Result<bool> RegularFileExists(const std::filesystem::path& path);

// A file's size and modification time (nanoseconds), not through a link;
// nothing when it is missing.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0;
};
Result<std::optional<FileStamp>> StampOf(const std::filesystem::path& path);

// Files left read-only by an earlier release are made writable again where
// this account may. Nothing is made read-only any more: a mark that only the
// file's owner can take off would lock every other account out.
void ClearOldReadOnlyMark(const std::filesystem::path& path);

// Writes the folder's entry changes (a rename, a new file) to the disk.
Status SyncFolder(const std::filesystem::path& folder);

// Gives a file this process has just created the folder's group and the
// permissions the folder grants: a folder shared by a group without the
// set-group-ID bit would otherwise lock the other accounts out of it.
void AdoptFolderOwnership(int fd, const std::filesystem::path& folder);

// Removes a file of the folder: a share may refuse while another client
// has it open, so it is tried again for a moment. Missing is fine.
Status RemoveFile(const std::filesystem::path& path);

// Replaces target with source by rename, then flushes the folder. A share
// refuses while another workstation has the target open: it is tried
// again for a moment, and on failure both files are as they were.
Status ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

// The first letter upper-case: messages are built from parts that start in
// the middle of a sentence ("the data file ...").
std::string Capitalized(std::string text);

}  // namespace kestrova::files

#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/backup/sha256.h"
#include "core/files/file.h"
#include "core/status.h"

// Copying a file to a temporary name beside the place it is going, checked
// before it is put there, and putting a set of such copies in place.
namespace kestrova::backup {

// Which file a name stands for, and how it stood: two looks that give the
// same identity saw the same file, unchanged.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds
  std::int64_t changed = 0;   // nanoseconds of the last change of contents or attributes
  unsigned mode = 0;          // permission bits
  gid_t group = 0;
  bool SameFile(const FileIdentity& other) const { return device == other.device && inode == other.inode; }
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of what has the name, not through a link; nothing when the
// name is free.
Result<std::optional<FileIdentity>> IdentityOf(const std::filesystem::path& path);

// A copy of one file under a temporary name. The source is read in blocks
// into a fixed buffer, never whole, and is opened afresh every moment so it
// is never held open for long: a file server refuses to replace a file that
// another client has open, and other workstations replace the data file
// when they delete a report.
class StagedCopy {
 public:
  // An empty copy at `temp`; whatever had that name (the leftover of a copy
  // that was interrupted) goes first. The new file takes its folder's group
  // and permissions.
  static Result<StagedCopy> Begin(std::filesystem::path source, std::filesystem::path temp);

  StagedCopy(StagedCopy&&) noexcept = default;
  StagedCopy& operator=(StagedCopy&&) noexcept = default;
  ~StagedCopy() = default;

  // Copies the source on from where the copy stands: to its end as it is
  // now, or up to `limit` bytes in all. `onBlock` hears the bytes copied so
  // far after each block. Meanwhile, in threads of their own, the source's
  // bytes are hashed and the copy is flushed, read back and hashed piece by
  // piece.
  Status Copy(std::optional<std::uint64_t> limit = std::nullopt,
              const std::function<void(std::uint64_t)>& onBlock = {});

  // Brings the copy up to its source as it is now, when the source was
  // changed in place since (records rewritten, added at the end, or the
  // file cut): the source is read again whole and hashed afresh, and only
  // the blocks of the copy that differ are written. The copy is read back
  // whole by Finish. False when the pass did not get through: the source
  // was replaced by another file (sourceReplaced(): only a fresh copy will
  // do), cut while it was read, or `deadline` passed first; the copy is
  // then part old, part new until a pass gets through.
  Result<bool> Refresh(std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt,
                       const std::function<void(std::uint64_t)>& onBlock = {});
  // Bytes the last Refresh wrote into the copy.
  std::uint64_t rewritten() const { return rewritten_; }

  // The source as it was when the copy (or its last refresh) began.
  const FileIdentity& source() const { return source_; }
  // Whether the source was replaced by another file, or became shorter than
  // what was copied, since the copy began: the copy is then of no one file.
  bool sourceReplaced() const { return replaced_; }
  std::uint64_t copied() const { return copied_; }

  // Flushes the rest of the copy to the disk and compares the SHA-256 of
  // the copy as it was read back with that of the source's bytes as they
  // were read for it. Then `check`
  // (when given) looks at the copy's contents, and the copy takes the
  // permissions and group of `like` (when given: the file it replaces).
  // Closed afterwards.
  Status Finish(const std::function<Status(const files::File&)>& check = {},
                const std::optional<FileIdentity>& like = std::nullopt);
  bool finished() const { return finished_; }

  // Whether the temporary name still holds the copy as it was finished.
  Status StillOurs() const;
  // Removes the temporary file, as long as the name still holds ours.
  void Discard();

  const std::filesystem::path& temp() const { return temp_; }
  const std::filesystem::path& sourcePath() const { return sourcePath_; }

 private:
  StagedCopy() = default;
  // Reads back and hashes what of the copy was not yet read back.
  Status ReadBackRest();

  std::filesystem::path sourcePath_;
  std::filesystem::path temp_;
  files::File out_;
  FileIdentity outId_;  // the temporary file as created, then as finished
  FileIdentity source_;
  bool started_ = false;
  bool replaced_ = false;
  bool finished_ = false;
  bool behind_ = false;  // a refresh did not get through
  std::uint64_t copied_ = 0;
  std::uint64_t rewritten_ = 0;
  std::uint64_t checked_ = 0;  // flushed and read back so far
  Sha256 sourceHash_;          // of the source's bytes as they were read
  // The source's hash as it stood before each block: a refresh hashes only
  // from the first block that changed.
  std::vector<Sha256> marks_;
  Sha256 backHash_;  // of the copy's, as they were read back
};

// One copy and where it goes. The old file at `destination` is kept under
// `keepOldAs` when that is given (and stays there), else under a name of
// its own until every copy is in place.
struct Placement {
  const StagedCopy* copy = nullptr;
  std::filesystem::path destination;
  std::filesystem::path keepOldAs;
};

struct InstallFailure {
  std::string fileName;             // the copy that could not be put in place
  std::string reason;               // why
  std::vector<std::string> undone;  // names that were in place and were put back
  // Names that could not be put back: each the new file, its old one where
  // `keptAs` says (empty: it had none).
  struct Left {
    std::string fileName;
    std::string keptAs;
  };
  std::vector<Left> notUndone;
};

// Puts the copies in place in the order given: each old file is first kept
// (by a second link where the file system has them, so the name never goes
// missing, else by a rename), then the copy is renamed over the name. The
// last copy replaces its old file by the rename alone. `beforeEach` is asked
// before every rename (the folder's lock still ours). A rename a file server
// refuses while another client has the file open is tried again until
// `patience` has passed. On a failure everything already in place is put
// back. The folder is flushed afterwards.
std::optional<InstallFailure> InstallAll(const std::vector<Placement>& placements, std::chrono::milliseconds patience,
                                         const std::function<Status()>& beforeEach = {});

}  // namespace kestrova::backup

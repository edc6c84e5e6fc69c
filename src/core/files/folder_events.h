#pragma once

#include <chrono>
#include <filesystem>
#include <string>

// What the shared data folder tells whoever runs the program: that a write
// is waiting for another workstation, that a file was repaired or found
// damaged, and that this workstation is writing or has written. The program
// says who is told in the options of its data folder (DataFolder); nothing
// is told to anyone else.
namespace kestrova::files {

// A write waiting for another workstation's lock.
struct LockWait {
  std::string holder;  // the holder's computer name, as its lock file records it
  std::chrono::milliseconds waited{0};
  std::chrono::milliseconds limit{0};
  bool finished = false;  // the last call: the wait is over, either way
};

// Something about a file of the folder worth telling the user once.
struct FolderNotice {
  enum class Kind {
    Repaired,   // an interrupted write was cleaned up; nothing was lost
    Damaged,    // a file is damaged: read as far as it goes, not written
    Uncertain,  // a write went through, but another workstation may have written at the
                // same moment (this one was held up past the stale period)
  };
  Kind kind = Kind::Repaired;
  std::string fileName;
  std::string message;
};

// Told of this workstation's own writes to the folder's record files, each
// time while the writer holds the folder's lock.
class WriteObserver {
 public:
  // A write is about to start: nothing is written yet, so what the folder
  // looks like now is everyone else's doing.
  virtual void AboutToWrite(const std::filesystem::path& folder) = 0;
  // The write went through and the change counter was bumped: what the
  // folder looks like now is this write's.
  virtual void Committed(const std::filesystem::path& folder) = 0;

 protected:
  ~WriteObserver() = default;
};

}  // namespace kestrova::files

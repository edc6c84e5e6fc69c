#pragma once

#include <filesystem>
#include <utility>

#include "core/files/record_file.h"

namespace kestrova::files {

// The shared data folder as a program works in it: where it is, and who is
// told what happens there (a write waiting for another workstation, a
// repair, this workstation's own writes; see RecordFileOptions). The
// program makes one and hands it to every operation that writes on a
// user's behalf. A bare path is a folder that tells nobody.
class DataFolder {
 public:
  DataFolder(std::filesystem::path path) : path_(std::move(path)) {}  // NOLINT: a path is a quiet folder
  DataFolder(std::filesystem::path path, RecordFileOptions options)
      : path_(std::move(path)), options_(std::move(options)) {}

  const std::filesystem::path& path() const { return path_; }
  const RecordFileOptions& options() const { return options_; }
  const LockOptions& lockOptions() const { return options_.lock; }

 private:
  std::filesystem::path path_;
  RecordFileOptions options_;
};

}  // namespace kestrova::files

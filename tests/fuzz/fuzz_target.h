#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Each fuzz target is one LLVMFuzzerTestOneInput; a broken promise aborts,
// which the fuzzer (or the replay driver) reports with the input.
#define FUZZ_REQUIRE(condition)                                                    \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                \
    }                                                                              \
  } while (false)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

// A folder of this process's own for targets that read files, removed when
// the process ends.
inline const std::filesystem::path& FuzzFolder() {
  static const std::filesystem::path folder = [] {
    char pattern[] = "/tmp/kestrova-fuzz-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    std::filesystem::path path = made ? made : "/tmp";
    static const std::filesystem::path removed = path;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(removed, ec);
    });
    return path;
  }();
  return folder;
}

inline void PutFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

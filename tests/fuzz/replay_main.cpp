// Where libFuzzer is not at hand (a gcc build), a fuzz target runs on every
// file of its corpus and on a few thousand variations of each (bytes
// changed, cut, repeated), the same on every run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_target.h"

namespace {

std::uint64_t Next(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

void Run(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path where(argv[i]);
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(where)) {
      for (const auto& e : std::filesystem::directory_iterator(where)) files.push_back(e.path());
    } else {
      files.push_back(where);
    }
    for (const auto& f : files) {
      std::ifstream in(f, std::ios::binary);
      inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR_OR_FILE...\n", argv[0]);
    return 2;
  }
  std::uint64_t state = 1;
  std::size_t runs = 0;
  for (const std::string& seed : inputs) {
    Run(seed);
    ++runs;
    for (int k = 0; k < 2000; ++k) {
      std::string input = seed;
      const int changes = 1 + static_cast<int>(Next(state) % 8);
      for (int c = 0; c < changes; ++c) {
        const std::uint64_t r = Next(state);
        const std::size_t at = input.empty() ? 0 : r % input.size();
        switch (r >> 61) {
          case 0:
            if (!input.empty()) input[at] = static_cast<char>(Next(state));
            break;
          case 1:
            if (!input.empty()) input[at] = static_cast<char>(input[at] ^ (1 << (r >> 58 & 7)));
            break;
          case 2: input.resize(at); break;
          case 3: input.insert(at, 1, static_cast<char>(Next(state))); break;
          case 4:
            if (!input.empty()) input.erase(at, 1 + Next(state) % 4);
            break;
          case 5: input.insert(at, input.substr(at, Next(state) % 16)); break;
          default: {
            static const char* const kTokens[] = {"0", "9", "/", ":",  " ",   "-",    ",",        ".",
                                                  "$", "(", ")", "pm", "Jan", "\xE9", "\xC3\xA9", "\xF0\x9F\x98\x80"};
            input.insert(at, kTokens[Next(state) % (sizeof kTokens / sizeof *kTokens)]);
          }
        }
      }
      Run(input);
      ++runs;
    }
  }
  std::printf("%zu inputs from %zu corpus files: no broken promise\n", runs, inputs.size());
  return 0;
}

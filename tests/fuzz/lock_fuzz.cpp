// Any bytes in "Kestrova.Lock": its fields read without harm, and a lock
// whose holder cannot be told dead here is waited on and never taken over
// before the stale period, whatever it says.
#include <string>

#include "core/files/folder_lock.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  for (const char* key : {"host", "machine", "pid", "token", "beat"}) {
    const std::string value = files::LockField(content, key);
    FUZZ_REQUIRE(value.size() <= content.size());
    FUZZ_REQUIRE(value.find('\n') == std::string::npos);
  }
  const auto folder = FuzzFolder();
  PutFile(folder / "Kestrova.Lock", data, size);
  files::LockOptions options;
  options.waiting = nullptr;
  options.wait = std::chrono::milliseconds(0);
  auto lock = files::FolderLock::Acquire(folder, options);
  // Only a lock of a process of this computer that has ended is broken at
  // once; no input names one (the machine field is this boot's own id).
  FUZZ_REQUIRE(!lock.ok());
  FUZZ_REQUIRE(lock.error().kind == Error::Kind::Busy);
  return 0;
}

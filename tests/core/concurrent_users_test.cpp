#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <limits>

#include "core/network/concurrent_users.h"
#include "support/processes.h"
#include "support/temp_folder.h"

namespace kestrova::network {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;

std::int64_t Stored(const TempFolder& folder) {
  const std::string bytes = ReadFileBytes(folder / "ccSys.system");
  EXPECT_EQ(bytes.size(), 8u);
  std::int64_t v = 0;
  std::memcpy(&v, bytes.data(), 8);
  return v;
}

TEST(ConcurrentUsers, CountsStartsAndExitsNeverBelowNought) {
  TempFolder folder;
  EXPECT_EQ(*ReadConcurrentUsers(folder.path()), 0) << "a missing file counts 0";
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationStarts), 1);
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationStarts), 2);
  EXPECT_EQ(Stored(folder), 20000);
  EXPECT_EQ(*ReadConcurrentUsers(folder.path()), 2);
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationEnds), 1);
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationEnds), 0);
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationEnds), 0);
  EXPECT_EQ(Stored(folder), 0);
  EXPECT_FALSE(UpdateConcurrentUsers(folder.path(), 2).ok());
}

TEST(ConcurrentUsers, TheCounterIsNeverMadeReadOnly) {
  TempFolder folder;
  ASSERT_TRUE(UpdateConcurrentUsers(folder.path(), kWorkstationStarts).ok());
  struct stat st {};
  ASSERT_EQ(::stat((folder / "ccSys.system").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  // Left read-only by an earlier release: still counted.
  ::chmod((folder / "ccSys.system").c_str(), 0444);
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationStarts), 2);
}

TEST(ConcurrentUsers, AnImpossibleCountIsLeftAloneNotOverflowed) {
  TempFolder folder;
  const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  std::string bytes(8, '\0');
  std::memcpy(bytes.data(), &largest, 8);
  testing::WriteFileBytes(folder / "ccSys.system", bytes);
  auto started = UpdateConcurrentUsers(folder.path(), kWorkstationStarts);
  ASSERT_FALSE(started.ok());
  EXPECT_EQ(started.error().kind, Error::Kind::Damaged);
  EXPECT_EQ(Stored(folder), largest);
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationEnds), largest / 10000 - 1);

  const std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
  std::memcpy(bytes.data(), &lowest, 8);
  testing::WriteFileBytes(folder / "ccSys.system", bytes);
  EXPECT_EQ(*UpdateConcurrentUsers(folder.path(), kWorkstationEnds), 0);
}

TEST(ConcurrentUsers, WorkstationsStartingAtOnceAllCount) {
  TempFolder folder;
  constexpr int kProcesses = 8;
  constexpr int kEach = 10;
  EXPECT_TRUE(testing::RunInChildren(kProcesses, [&](int) {
    files::RecordFileOptions options;
    options.lock.wait = std::chrono::milliseconds(20000);
    int failures = 0;
    for (int i = 0; i < kEach; ++i) {
      failures += UpdateConcurrentUsers(folder.path(), kWorkstationStarts, options).ok() ? 0 : 1;
    }
    return failures;
  }));
  EXPECT_EQ(*ReadConcurrentUsers(folder.path()), kProcesses * kEach);
}

}  // namespace
}  // namespace kestrova::network

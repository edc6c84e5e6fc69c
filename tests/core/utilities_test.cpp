#include <gtest/gtest.h>

#include <set>

#include "core/ui/utilities.h"

namespace kestrova::ui {
namespace {

TEST(RandomInteger, StaysWithinItsBoundsAndReachesBoth) {
  std::set<int> seen;
  for (int i = 0; i < 5000; ++i) {
    const int r = RandomInteger(65, 90);
    ASSERT_GE(r, 65);
    ASSERT_LE(r, 90);
    seen.insert(r);
  }
  EXPECT_EQ(seen.size(), 26u);
  EXPECT_EQ(RandomInteger(7, 7), 7);
}

TEST(RandomInteger, CallsInQuickSuccessionDiffer) {
  // Reseeding from the clock on every call made neighbours equal.
  int changes = 0;
  int previous = RandomInteger(0, 9999);
  for (int i = 0; i < 100; ++i) {
    const int next = RandomInteger(0, 9999);
    changes += next != previous;
    previous = next;
  }
  EXPECT_GT(changes, 90);
}

TEST(RandomInteger, ASeededGeneratorRepeatsItself) {
  std::mt19937 a(42), b(42);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(RandomInteger(1, 6, a), RandomInteger(1, 6, b));
}

TEST(Arithmetic, StepsAndComparisons) {
  int counter = 10;
  AddStep(counter, -3);
  EXPECT_EQ(counter, 7);
  double level = 0.5;
  AddStep(level, 0.25);
  EXPECT_DOUBLE_EQ(level, 0.75);
  EXPECT_EQ(LargerOf(3, 5), 5);
  EXPECT_EQ(LargerOf(5, 3), 5);
  EXPECT_EQ(SmallerOf(3, 5), 3);
  EXPECT_EQ(SmallerOf(-1, -2), -2);
  EXPECT_EQ(LargerOf(2, 2), 2);
}

}  // namespace
}  // namespace kestrova::ui

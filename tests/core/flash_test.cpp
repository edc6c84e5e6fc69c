#include <gtest/gtest.h>

#include <algorithm>

#include "core/controls/arithmetic.h"
#include "core/controls/flash.h"

namespace kestrova::controls {
namespace {

TEST(FlashLevels, SwingInOppositeDirections) {
  FlashLevels l;
  std::vector<int> as;
  for (int i = 0; i < 130; ++i) {
    l.Tick();
    as.push_back(l.a);
  }
  FlashLevels first;
  first.Tick();
  EXPECT_EQ(first.a, 4);
  EXPECT_EQ(first.b, 244);
  EXPECT_EQ(first.step, 4);
  EXPECT_EQ(as[0], 4);
  EXPECT_EQ(as[1], 8);
  EXPECT_EQ(*std::max_element(as.begin(), as.end()), 252);
  EXPECT_EQ(as[62], 252);
  EXPECT_EQ(as[63], 248) << "turns at the top";
  EXPECT_EQ(*std::min_element(as.begin() + 10, as.end()), 4);
}

TEST(FlashLevels, TheMainWindowTurnsLower) {
  FlashLevels l;
  for (int i = 0; i < 64; ++i) l.Tick(2);
  EXPECT_EQ(l.a, 248);
  EXPECT_EQ(l.b, 6);  // turned at 2, then one step up
}

TEST(FlashColours, TitleFamilies) {
  FlashLevels l{40, 212, 4};
  auto yellow = TitleFlashColours(FromColorNumber(8454143), l);
  ASSERT_TRUE(yellow);
  EXPECT_EQ(yellow->back, (Rgb{212, 212, 0}));
  EXPECT_EQ(yellow->fore, (Rgb{40, 40, 0}));
  auto cyan = TitleFlashColours(FromColorNumber(16777088), l);
  EXPECT_EQ(cyan->back, (Rgb{0, 212, 212}));
  EXPECT_FALSE(TitleFlashColours({255, 0, 0}, l).has_value());
}

TEST(FlashColours, AdminFamilies) {
  FlashLevels l{200, 52, 4};
  EXPECT_EQ(AdminFlashColours({128, 255, 128}, l)->back, (Rgb{0, 52, 0}));
  EXPECT_EQ(AdminFlashColours({0, 255, 255}, l)->fore, (Rgb{0, 200, 200}));
  EXPECT_EQ(AdminFlashColours({255, 128, 255}, l)->fore, (Rgb{200, 124, 200}));
  EXPECT_EQ(AdminFlashColours({255, 0, 255}, l)->back, (Rgb{52, 52, 52}));
  EXPECT_FALSE(AdminFlashColours({1, 2, 3}, l).has_value());
  EXPECT_EQ(SearchFlashColours(l).back, (Rgb{0, 52, 52}));
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
}  // namespace kestrova::controls

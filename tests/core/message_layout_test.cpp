#include <gtest/gtest.h>

#include "core/controls/message_layout.h"

namespace kestrova::controls {
namespace {

constexpr int kScreenW = 1920 * 15;  // 1920 x 1080 at 96 dots per inch
constexpr int kScreenH = 1080 * 15;

TEST(MessageLayout, TheExitQuestion) {
  // Two buttons of 2250 and 2100 twips under a 3000 x 900 label.
  const auto l = LayoutMessageDialog(3000, 900, {2250, 2100}, false, kScreenW, kScreenH);
  ASSERT_FALSE(l.tooBig);
  EXPECT_EQ(l.buttonsTotal, 2250 + 100 + 2100 + 100);
  EXPECT_EQ(l.dialogWidth, 4850);  // running total + 300 beats label + 1100
  EXPECT_EQ(l.dialogHeight, 2200);
  EXPECT_EQ(l.buttonTop, 1300);
  // Centred as a group: 4850 / 2 - 4550 / 2 = 150.
  EXPECT_EQ(l.buttonLefts, (std::vector<int>{150, 2500}));
  EXPECT_EQ(l.bandTop, 1175);
  EXPECT_EQ(l.bandLeft, -20);
  EXPECT_EQ(l.bandWidth, 4890);
  EXPECT_EQ(l.bandHeight, 2200 - 1175 + 100);
}

TEST(MessageLayout, OneOkayButtonUnderAWideLabelIsCentred) {
  const auto l = LayoutMessageDialog(6000, 600, {900}, false, kScreenW, kScreenH);
  EXPECT_EQ(l.dialogWidth, 7100);
  EXPECT_EQ(l.buttonLefts, (std::vector<int>{3050}));  // 7100 / 2 - 1000 / 2
}

TEST(MessageLayout, TheCheckBoxAddsItsRowUnderTheButtons) {
  const auto without = LayoutMessageDialog(3000, 900, {1500}, false, kScreenW, kScreenH);
  const auto with = LayoutMessageDialog(3000, 900, {1500}, true, kScreenW, kScreenH);
  EXPECT_EQ(with.dialogHeight, without.dialogHeight + 300);
  EXPECT_EQ(with.checkTop, with.buttonTop + 400 + 100);
  EXPECT_EQ(with.checkLeft, 100);
}

TEST(MessageLayout, RoundsHalvesToEven) {
  // Widths with halves: 1000.5 + 100 -> 1100.5 -> 1100; then 1100 + 1000.5 + 100 -> 2200.5 -> 2200.
  const auto l = LayoutMessageDialog(100, 300, {1000.5, 1000.5}, false, kScreenW, kScreenH);
  EXPECT_EQ(l.buttonsTotal, 2200);
  EXPECT_EQ(l.dialogWidth, 2500);
  EXPECT_EQ(l.buttonLefts, (std::vector<int>{150, 1250}));  // 150 + 1100.5 -> 1250.5 -> 1250
}

TEST(MessageLayout, WrapsALabelWiderThanTheScreenAllows) {
  EXPECT_EQ(MessageWrapWidth(20000, kScreenW), std::nullopt);  // 28800 - 3000 = 25800
  EXPECT_EQ(MessageWrapWidth(26000, kScreenW), 12000);
  EXPECT_EQ(MessageWrapWidth(9000, 11000), 8000);
  EXPECT_EQ(MessageWrapWidth(8000, 11000), std::nullopt);
}

TEST(MessageLayout, TooBigForTheScreenIsNotLaidOut) {
  EXPECT_TRUE(LayoutMessageDialog(3000, kScreenH - 1000, {900}, false, kScreenW, kScreenH).tooBig);
  EXPECT_FALSE(LayoutMessageDialog(3000, kScreenH - 1300, {900}, false, kScreenW, kScreenH).tooBig);
  EXPECT_TRUE(LayoutMessageDialog(3000, kScreenH - 1300, {900}, true, kScreenW, kScreenH).tooBig);
  std::vector<double> many(40, 900);
  EXPECT_TRUE(LayoutMessageDialog(3000, 600, many, false, kScreenW, kScreenH).tooBig);
}

TEST(MessageLayout, NeverNarrowerThanTheCaptionAndTheTitleBarsButtons) {
  EXPECT_EQ(LayoutMessageDialog(600, 300, {900}, false, kScreenW, kScreenH, 3000).dialogWidth, 3000 + 1800);
  EXPECT_EQ(LayoutMessageDialog(6000, 300, {900}, false, kScreenW, kScreenH, 3000).dialogWidth, 6000 + 1100)
      << "a wider message still decides";
}

}  // namespace
}  // namespace kestrova::controls

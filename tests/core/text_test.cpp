#include <gtest/gtest.h>

#include <array>

#include "core/text/fixed_text.h"
#include "core/text/line_breaks.h"
#include "core/text/win1252.h"

namespace kestrova::text {
namespace {

TEST(Win1252, EveryByteSurvivesARoundTripThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Win1252ToUtf8(all);
  EXPECT_EQ(Utf8ToWin1252(utf8), all);
}

TEST(LineBreaks, StoredAsCrLfShownAsLfCountedAsTwo) {
  EXPECT_EQ(ToStoredLineBreaks("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(ToShownLineBreaks("a\r\nb\rc\nd"), "a\nb\nc\nd");
  EXPECT_EQ(ToStoredLineBreaks(ToShownLineBreaks("x\r\n\r\ny")), "x\r\n\r\ny");
  EXPECT_EQ(StoredLength("ab\ncd"), 6u);
  EXPECT_EQ(StoredLength("\u00E9\r\n"), 3u) << "one character, one break";
}

TEST(Win1252, NamesEachCharacterItCannotHoldOnce) {
  EXPECT_EQ(UnstorableCharacters("Jos\u00E9 \u20AC 5 \u2122"), "");
  EXPECT_EQ(UnstorableCharacters("\u674E\u56DB and \u674E, \u0416 \U0001F600"), "\u674E\u56DB\u0416\U0001F600");
  EXPECT_EQ(UnstorableCharacters("bad \xFF byte"), "\uFFFD");
}

TEST(Win1252, MapsTheHighRangeToItsTypographicCharacters) {
  EXPECT_EQ(Win1252ToUtf8("\x80"), "\u20AC");
  EXPECT_EQ(Win1252ToUtf8("\x93quoted\x94"), "\u201Cquoted\u201D");
  EXPECT_EQ(Win1252ToUtf8("\x96"), "\u2013");
  EXPECT_EQ(Win1252ToUtf8("\x9F"), "\u0178");
  EXPECT_EQ(Win1252ToUtf8("Jos\xE9"), "Jos\u00E9");
  EXPECT_EQ(Utf8ToWin1252("\u2122"), "\x99");
  EXPECT_EQ(Utf8ToWin1252("M\u00FCller"),
            "M\xFC"
            "ller");
}

TEST(Win1252, TheFiveUndefinedBytesMapToTheirC1Controls) {
  for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Win1252ToCodePoint(static_cast<std::uint8_t>(b)), static_cast<char32_t>(b));
    EXPECT_EQ(CodePointToWin1252(static_cast<char32_t>(b)), static_cast<std::uint8_t>(b));
  }
  // The other C1 controls have no byte: 0x80 is the euro sign.
  EXPECT_FALSE(CodePointToWin1252(0x80).has_value());
  EXPECT_FALSE(CodePointToWin1252(0x9E).has_value());
}

TEST(Win1252, CharactersItCannotHoldBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToWin1252("\u4E2D\u6587"), "??");
  EXPECT_EQ(Utf8ToWin1252("a\U0001F600b"), "a?b");
  EXPECT_EQ(Utf8ToWin1252("\u0080"), "?");
  // Broken UTF-8: a lone continuation byte, a cut sequence, an overlong form.
  EXPECT_EQ(Utf8ToWin1252("a\x80z"), "a?z");
  EXPECT_EQ(Utf8ToWin1252("a\xC3"), "a?");
  EXPECT_EQ(Utf8ToWin1252("\xC0\xAF"), "??");
  EXPECT_EQ(Utf8ToWin1252("\xED\xA0\x80"), "???");  // a surrogate
}

TEST(Win1252, LongPlainRunsAroundAnAccentConvert) {
  // Plain text is copied in blocks; an accent anywhere in or after a block
  // must still be converted, and padding of any length found.
  for (std::size_t at = 0; at < 80; ++at) {
    std::string bytes(80, 'a');
    bytes[at] = '\xE9';
    std::string expected = std::string(at, 'a') + "\u00E9" + std::string(79 - at, 'a');
    ASSERT_EQ(Win1252ToUtf8(bytes), expected) << at;
    std::string stored = bytes + std::string(at, ' ');
    ASSERT_EQ(DecodeFixedText(stored.data(), stored.size()), expected) << at;
    std::string reused = "left over from before";
    Win1252ToUtf8(bytes.substr(0, at), reused);
    ASSERT_EQ(reused, std::string(at, 'a'));
  }
}

TEST(FixedText, IsCutToItsWidthAndPaddedWithBlanks) {
  std::array<char, 8> buffer{};
  EncodeFixedText("abc", buffer.data(), buffer.size());
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), "abc     ");
  EncodeFixedText("abcdefghijkl", buffer.data(), buffer.size());
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), "abcdefgh");
  // The width counts stored bytes: an accented letter is one byte.
  EncodeFixedText("\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9", buffer.data(), buffer.size());
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), std::string(8, '\xE9'));
  EncodeFixedText("", buffer.data(), buffer.size());
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), std::string(8, ' '));
}

TEST(FixedText, ReadsBackTrimmedWhileDecodingKeepsLeadingBlanks) {
  const std::string stored = "  Smith \xE9  ";
  EXPECT_EQ(ReadFixedText(stored.data(), stored.size()), "Smith \u00E9");
  EXPECT_EQ(DecodeFixedText(stored.data(), stored.size()), "  Smith \u00E9");
  std::string again(stored.size(), '\0');
  EncodeFixedText(DecodeFixedText(stored.data(), stored.size()), again.data(), again.size());
  EXPECT_EQ(again, stored);
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(" \tx\t "), "\tx\t");  // only blanks are trimmed
}

}  // namespace
}  // namespace kestrova::text

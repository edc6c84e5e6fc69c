#include <gtest/gtest.h>

#include "core/update/update_check.h"

namespace kestrova::update {
namespace {

using Show = UpdateDecision::Show;

UpdateDecision Decide(std::string_view reply, bool userAsked) {
  return DecideUpdate(reply, 4, 14, 11, userAsked, "Zel", "Kestrova");
}

TEST(UpdateCheck, TheSameVersionSaysSoOnlyWhenAsked) {
  EXPECT_EQ(Decide("04.14.11", false).show, Show::Nothing);
  const auto asked = Decide("04.14.11", true);
  EXPECT_EQ(asked.show, Show::NoUpdates);
  EXPECT_EQ(asked.caption, "No updates available");
  EXPECT_EQ(asked.lines, (std::vector<std::string>{"This is the most current", "version of Kestrova."}));
  EXPECT_EQ(asked.buttons, std::vector<std::string>{"&Okay"});
  EXPECT_EQ(Decide("04.13.99", true).show, Show::NoUpdates);
}

TEST(UpdateCheck, ANewerMinorVersionShowsTheNoteAndThePricingSentence) {
  const auto d = Decide("04.15.00::New reports menu", false);
  EXPECT_EQ(d.show, Show::UpdateAvailable);
  EXPECT_EQ(d.caption, "Update available!");
  EXPECT_EQ(d.lines,
            (std::vector<std::string>{"New reports menu", "", "An upgrade is currently available. Pricing may apply.",
                                      "See our website for further details."}));
  EXPECT_EQ(d.buttons, (std::vector<std::string>{"&Go to Zel web site", "&Ignore for now"}));
  EXPECT_EQ(d.defaultButton, 2);
}

TEST(UpdateCheck, MajorAndRevisionSentences) {
  EXPECT_EQ(Decide("05.00.00::x", false).lines[2], "A major upgrade is currently available.");
  const auto revision = Decide("04.14.12::x", false);
  EXPECT_EQ(revision.lines[2], "A minor upgrade is available at no cost.");
  EXPECT_EQ(revision.lines[3], "Download from our website at your convenience.");
}

TEST(UpdateCheck, WithoutTheMarkerTheReplyShowsFromItsSecondCharacter) {
  const auto d = Decide("04.14.12", false);
  ASSERT_EQ(d.show, Show::UpdateAvailable);
  EXPECT_EQ(d.lines[0], "4.14.12");
}

TEST(UpdateCheck, MalformedRepliesShowNothing) {
  for (const char* reply : {"", "4.14.11", "04-14-11", "04.1", "ab.cd.ef", "04.15.", "<html>"}) {
    EXPECT_EQ(Decide(reply, true).show, Show::Nothing) << reply;
  }
}

TEST(UpdateCheck, TheNoteKeepsItsLines) {
  const auto d = Decide("04.15.00::First line\r\nSecond line", false);
  EXPECT_EQ(d.lines[0], "First line");
  EXPECT_EQ(d.lines[1], "Second line");
  EXPECT_EQ(d.lines[2], "");
}

TEST(UpdateCheck, ThePage) {
  EXPECT_EQ(UpdatePage("www.zel.example", "Kestrova"), "www.zel.example/html/kestrova.html");
}

}  // namespace
}  // namespace kestrova::update

// Another workstation's changes seen by this one, and the e-mailed report.

#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include "gui/network/refresh_watch.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

using testing::ListOf;

using testing::Click;
using testing::Report;

class ChangeWatchTest : public testing::MainWindowFixture {
 protected:
  QColor Back(frmMain* m) { return RefreshBack(m); }
  bool Resting(frmMain* m) { return RefreshResting(m); }
};

TEST_F(ChangeWatchTest, AnotherWorkstationsChangesFlashTheRefreshButtonAndOwnWritesDoNot) {
  Add(Report("24-1", 5));
  Add(Report("24-2", 6));
  g.settings->Write(QStringLiteral("RefreshSound"), QStringLiteral("True"));
  frmMain* m = Open();
  Seconds(m, 6);
  // This workstation's own write, and another's in the same second after it.
  ASSERT_TRUE(reports::AppendReport(g.session->folder(), Report("own", 7)).ok());
  Seconds(m, 6);
  EXPECT_TRUE(Resting(m)) << "an own write is not announced";
  ASSERT_TRUE(reports::AppendReport(g.session->folder(), Report("own-2", 7)).ok());
  Elsewhere([&] { return reports::AppendReport(g.folder.path(), Report("theirs", 8)).ok(); });
  Seconds(m, 5);
  EXPECT_FALSE(Resting(m)) << "another workstation's write right after an own one";
  const QColor first = Back(m);
  Seconds(m, 1);
  EXPECT_NE(Back(m), first) << "it alternates each second";
  EXPECT_TRUE(Back(m) == QColor(255, 128, 128) || Back(m) == QColor(128, 255, 128));
  EXPECT_EQ(Cmd(m, "cmdRefreshGrid")->BackOver(), Back(m)) << "a pointer resting on the button sees the alert too";
  g.sound->played.clear();
  Seconds(m, 60);
  EXPECT_EQ(g.sound->played, QStringList(3, QString::fromLatin1(RefreshWatch::kSound))) << "at 0, 20 and 40 s";
  EXPECT_TRUE(QFile::exists(QString::fromLatin1(RefreshWatch::kSound))) << "the sound is built in";

  Click(m, "cmdRefreshGrid");
  EXPECT_TRUE(Resting(m));
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (5) ")) << "the click rebuilds the list";
  // Every report deleted elsewhere: no data file is a change too.
  Elsewhere([&] {
    for (int i = 0; i < 5; ++i) {
      const auto r = reports::ReadReport(g.folder.path(), 1);
      if (!r.ok() || !reports::DeleteReport(g.folder.path(), {1, r->ControlNumber, r->CaseNumber}, nullptr).ok()) {
        return false;
      }
    }
    return true;
  });
  Seconds(m, 5);
  EXPECT_FALSE(Resting(m));
}

TEST_F(ChangeWatchTest, AChangeElsewhereJustBeforeAnOwnWriteIsStillAnnounced) {
  Add(Report("24-1", 5));
  // The switch is read in any letter case.
  g.settings->Write(QStringLiteral("RefreshSound"), QStringLiteral("true"));
  frmMain* m = Open();
  Seconds(m, 6);
  Elsewhere([&] { return reports::AppendReport(g.folder.path(), Report("theirs", 8)).ok(); });
  ASSERT_TRUE(reports::AppendReport(g.session->folder(), Report("own", 7)).ok());
  Seconds(m, 6);
  EXPECT_FALSE(Resting(m));
  Seconds(m, 20);
  EXPECT_FALSE(g.sound->played.isEmpty());
}

TEST_F(ChangeWatchTest, TheEmailCarriesTheShownReportWhole) {
  reports::ReportRecord r = Report("24-1", 5);
  r.Title = "Theft & Fraud #2 100%";
  r.CriminalViolations = "Caf\u00E9 \u201Cquote\u201D";
  r.ReportedByName = "Doe, Jane";
  r.ReportedByContext = "Victim";
  Add(r);
  frmMain* m = Open();
  g.messages->Press(1, true);
  Click(m, "cmdEmailEntry");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Emailing an Item..."));
  ASSERT_EQ(g.shell->opened.size(), 1);
  const QUrl url(g.shell->opened.last(), QUrl::StrictMode);
  EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
  EXPECT_TRUE(url.path().isEmpty()) << "no recipient";
  const QUrlQuery query(url);
  EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
            QStringLiteral("Report - Control Number 20240105090000"));
  EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
            QStringLiteral("Synopsis\r\n\r\nControl Number: 20240105090000\r\nCase Number: 24-1\r\n\r\n"
                           "Title or Descriptive Remarks: Theft & Fraud #2 100%\r\n"
                           "Criminal Violation(s) (if any): Caf\u00E9 \u201Cquote\u201D\r\n\r\n"
                           "This Report Made by: Ofc. Test\r\nReported Entered: Jan 05, 2024 9:00am\r\n\r\n"
                           "Occurred (from): \r\nOccurred (to): \r\nLocation Occurred: \r\n\r\n"
                           "Reported on: \r\nReported by 'Victim' Doe, Jane\r\nLocation Reported: "));
  const auto asked = g.messages->asked.size();
  Click(m, "cmdEmailEntry");
  EXPECT_EQ(g.messages->asked.size(), asked) << "not asked again";
  EXPECT_EQ(g.shell->opened.size(), 2);
}

}  // namespace
}  // namespace kestrova::gui

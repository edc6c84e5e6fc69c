// What a user writes reaches the data file as written, into the report
// being written, and nothing else does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "gui/reports/report_list_model.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

using testing::FormOf;
using testing::GridOf;
using testing::ListOf;
using testing::PictureOf;

namespace fs = std::filesystem;
using testing::Click;
using testing::ReadFileBytes;
using testing::Report;
using testing::RightClick;

class ReportIntegrityTest : public testing::MainWindowFixture {};

TEST_F(ReportIntegrityTest, WhileWritingNothingReplacesTheReportAndLeavingAsksFirst) {
  Add(Report("24-1", 5));
  Add(Report("24-2", 6, reports::kInactiveList));
  Add(Report("24-3", 7));
  frmMain* m = Open();
  ASSERT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-3"));
  Click(m, "cmdEditEntry");
  Type(m, 2, QStringLiteral("edited"));
  // The list options, the search and the refresh are out of reach.
  auto* inactive = m->findChild<QRadioButton*>(QStringLiteral("optDisplay2"));
  QTest::mouseClick(inactive, Qt::LeftButton);
  EXPECT_FALSE(inactive->isChecked());
  EXPECT_FALSE(Cmd(m, "cmdFindEntries")->isEnabled());
  EXPECT_FALSE(Cmd(m, "cmdRefreshGrid")->isVisible());
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-3"));

  // Quit and the close box ask before the exit question.
  g.messages->Press(2);
  QTest::mouseClick(Cmd(m, "cmdQuit"), Qt::LeftButton);
  const MessageRequest& ask = g.messages->Last();
  EXPECT_EQ(ask.caption, QStringLiteral("Discard Report?"));
  EXPECT_EQ(ask.lines(), (QStringList{QStringLiteral("The report you are writing has not been saved."),
                                      QStringLiteral("Discard it?")}));
  EXPECT_EQ(ask.buttons, (QStringList{QStringLiteral("&Discard it"), QStringLiteral("&Keep writing")}));
  EXPECT_EQ(ask.defaultButton, 2);
  EXPECT_TRUE(m->editing()) << "kept writing";
  g.messages->Press(1).Press(2);  // discard, then "don't quit yet"
  m->close();
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Exit Kestrova?"));
  EXPECT_TRUE(m->isVisible());
  EXPECT_TRUE(m->editing());

  Click(m, "cmdEditSave");
  EXPECT_EQ(Stored(3).Title, "edited") << "the save went to the report being written";
  EXPECT_EQ(QApplication::focusWidget(), GridOf(m)) << "the keyboard is back with the list";
  EXPECT_EQ(Stored(1).Title, "Title 24-1");
  // Display mode again: the picture slots offer no changes.
  for (int slot = 1; slot <= 3; ++slot) {
    EXPECT_FALSE(PictureOf(m, "cmdAddEditPic", slot)->isVisibleTo(FormOf(m))) << slot;
    EXPECT_FALSE(PictureOf(m, "cmdDeletePic", slot)->isVisibleTo(FormOf(m))) << slot;
  }
  EXPECT_TRUE(inactive->isEnabled());
}

TEST_F(ReportIntegrityTest, AnEditKeepsEveryByteTheUserDidNotChangeAndStoresCrLf) {
  reports::ReportRecord r = Report("24-1", 5);
  r.DateEntered = time::ToOleDate({2024, 1, 5, 9, 14, 37});
  r.OccurredFrom = time::ToOleDate({2024, 1, 4, 22, 0, 59});
  r.Narrative = "First line.\r\n\r\nThird line.";
  r.CaseNotes = "\tindented note";
  r.Picture1 = "  pictures/gone.png";  // not on disk; leading blanks stored
  Add(r);
  frmMain* m = Open();
  const std::string before = ReadFileBytes(g.folder / "Kestrova.Data");
  EXPECT_EQ(FormOf(m)->fieldText(44), QStringLiteral("First line.\n\nThird line.")) << "shown with LF";
  Click(m, "cmdEditEntry");
  Type(m, 2, QStringLiteral("New title"));
  FormOf(m)->FocusField(45);  // entering and leaving trims blanks only
  FormOf(m)->FocusField(44);
  Click(m, "cmdEditSave");
  ASSERT_FALSE(m->editing());
  std::string after = ReadFileBytes(g.folder / "Kestrova.Data");
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(23, 50), "New title" + std::string(41, ' '));
  after.replace(23, 50, before.substr(23, 50));
  EXPECT_EQ(after, before) << "only the title's bytes changed";

  // Typed line breaks are stored as CR LF and count two.
  Click(m, "cmdEditEntry");
  FormOf(m)->FocusField(44);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("y"));
  Click(m, "cmdEditSave");
  EXPECT_EQ(Stored(1).Narrative, "First line.\r\n\r\nThird line.x\r\ny");
}

TEST_F(ReportIntegrityTest, TextTheFileCannotHoldIsRefusedNotTurnedIntoQuestionMarks) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  const std::string before = ReadFileBytes(g.folder / "Kestrova.Data");
  Click(m, "cmdAddEntry");
  Type(m, 1, QStringLiteral("24-2"));
  Type(m, 2, QStringLiteral("Caf\u00E9 break-in"));
  Type(m, 4, QStringLiteral("Ofc. Park"));
  Type(m, 5, QStringLiteral("01/05/2024"));
  Type(m, 17, QStringLiteral("\u0416\u0430\u043D\u043D\u0430 \u674E"));
  g.messages->Press(1);
  Click(m, "cmdAddSave");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Characters Not Stored"));
  EXPECT_EQ(g.messages->Last().lines()[0],
            QStringLiteral("'Person 2 - Name  R/S/A  DOB  SS# (Or Name of Business)' holds characters"));
  EXPECT_EQ(g.messages->Last().lines()[3], QStringLiteral("\u0416 \u0430 \u043D \u674E"));
  EXPECT_TRUE(m->adding());
  EXPECT_EQ(QApplication::focusWidget(), FormOf(m)->field(17));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Data"), before) << "nothing written";

  // A picture whose path cannot be stored is not taken.
  FormOf(m)->setCurrentIndex(5);
  g.filePicker->answers.append(QStringLiteral("/photos/\u0424\u043E\u0442\u043E.png"));
  g.messages->Press(1);
  Click(PictureOf(m, "cmdAddEditPic", 1));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Picture Not Taken"));
  EXPECT_TRUE(FormOf(m)->picturePaths()[0].isEmpty());
  g.filePicker->answers.append(QStringLiteral("/") + QString(150, QLatin1Char('p')) + QStringLiteral(".png"));
  g.messages->Press(1);
  Click(PictureOf(m, "cmdAddEditPic", 1));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Picture Not Taken"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("150 characters")));
}

TEST_F(ReportIntegrityTest, PastingPastALimitSaysSo) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  Click(m, "cmdAddEntry");
  FormOf(m)->FocusField(2);
  QApplication::clipboard()->setText(QString(60, QLatin1Char('t')));
  g.messages->Press(1);
  QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
  EXPECT_TRUE(QTest::qWaitFor([&] { return g.messages->asked.size() == 1; }));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Text Too Long"));
  EXPECT_EQ(g.messages->Last().lines()[0],
            QStringLiteral("'Title or Descriptive Remarks' holds at most 50 characters."));
  EXPECT_EQ(FormOf(m)->fieldText(2).size(), 50);
  QTest::keyClick(FormOf(m)->field(2), Qt::Key_End);
  QTest::keyClicks(FormOf(m)->field(2), QStringLiteral("x"));
  EXPECT_EQ(FormOf(m)->fieldText(2).size(), 50) << "typing into a full field is refused quietly";
  EXPECT_EQ(g.messages->asked.size(), 1);

  // The case notes hold 2,169 characters as stored: a line break takes two.
  FormOf(m)->FocusField(45);
  QApplication::clipboard()->setText(QString(2160, QLatin1Char('n')) + QStringLiteral("\n\n\n\n\n\n"));
  g.messages->Press(1);
  QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
  EXPECT_TRUE(QTest::qWaitFor([&] { return g.messages->asked.size() == 2; }));
  EXPECT_EQ(FormOf(m)->fieldText(45), QString(2160, QLatin1Char('n')) + QStringLiteral("\n\n\n\n"));
  EXPECT_EQ(FormOf(m)->spaceFull(45)->text(), QStringLiteral(" 100% full "));
}

TEST_F(ReportIntegrityTest, ThePickListOpensOnceAndLetsTheUserType) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  Click(m, "cmdAddEntry");
  int opened = 0;
  // Every pick-list that opens is closed with Escape.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      ++opened;
      QTest::keyClick(menu, Qt::Key_Escape);
    }
  });
  closer.start(5);
  FormOf(m)->FocusField(12);
  QTest::qWait(200);
  EXPECT_EQ(opened, 1) << "Escape closes it for good";
  // The focus comes back to the field (here by the window's activation,
  // as after a click elsewhere); that is not entering the field again.
  m->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m));
  QTest::qWait(100);
  ASSERT_EQ(QApplication::focusWidget(), FormOf(m)->field(12));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Landlord"));
  QTest::qWait(100);
  EXPECT_EQ(FormOf(m)->fieldText(12), QStringLiteral("Landlord"));
  EXPECT_EQ(opened, 1);
  FormOf(m)->FocusField(13);
  FormOf(m)->FocusField(15);
  QTest::qWait(200);
  EXPECT_EQ(opened, 2) << "entering another empty context field opens its list";

  // A field given the focus while another window is active (a message
  // dialog) is entered when this window is active again.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  FormOf(m)->FocusField(16);
  m->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m));
  EXPECT_EQ(FormOf(m)->field(16)->palette().color(QPalette::Base), QColor(255, 255, 192));
  EXPECT_EQ(FormOf(m)->field(15)->palette().color(QPalette::Base), QColor(192, 255, 255));
  EXPECT_TRUE(FormOf(m)->heading(16)->font().bold());
  EXPECT_FALSE(FormOf(m)->heading(15)->font().bold());
}

TEST_F(ReportIntegrityTest, TheKeyboardWalksTheListAndTheFields) {
  for (int day = 1; day <= 6; ++day) Add(Report("24-" + std::to_string(day), day));
  frmMain* m = Open();
  ASSERT_EQ(ListOf(m).currentRow(), 6);
  GridOf(m)->setFocus();
  QTest::keyClick(GridOf(m), Qt::Key_Up);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  EXPECT_EQ(ListOf(m).currentRow(), 4) << "every Up moves";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
  EXPECT_EQ(ListOf(m).currentRow(), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
  EXPECT_GT(ListOf(m).currentRow(), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(ListOf(m).currentRow(), 1);
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-1"));

  Click(m, "cmdEditEntry");
  FormOf(m)->FocusField(43);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), FormOf(m)->field(44)) << "past the picture tab";
  EXPECT_EQ(FormOf(m)->currentIndex(), 6);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Cmd(m, "cmdEditCancel")) << "save is not yet enabled";
  FormOf(m)->FocusField(14);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), FormOf(m)->field(13));
  EXPECT_EQ(FormOf(m)->currentIndex(), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(FormOf(m)->currentIndex(), 2) << "Ctrl+Tab shows the next tab";
}

TEST_F(ReportIntegrityTest, DeletingTheLastInactiveReportReturnsToTheSavedRow) {
  for (int day = 1; day <= 5; ++day) Add(Report("24-" + std::to_string(day), day));
  Add(Report("24-9", 9, reports::kInactiveList));
  frmMain* m = Open();
  ASSERT_EQ(ListOf(m).currentRow(), 5);
  m->findChild<QRadioButton*>(QStringLiteral("optDisplay2"))->click();
  g.messages->Press(1).Press(1);
  Click(m, "cmdDeleteEntry");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("'Inactive List' Empty"));
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (5) "));
  EXPECT_EQ(ListOf(m).currentRow(), 1) << "the row the delete saved, not the last row";
}

TEST_F(ReportIntegrityTest, AnArchiveTheFileRefusesIsNotBlamedOnAnotherWorkstation) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  {
    // A first report no release of ours wrote: the file is read, never written.
    std::fstream file(g.folder / "Kestrova.Data", std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(19999);
    file.write("\0\0", 2);
  }
  g.messages->Press(1, true).Press(1);
  Click(m, "cmdArchiveEntry");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Report Not Archived"));
  EXPECT_TRUE(g.messages->Last().message.endsWith(QStringLiteral("Nothing was changed.")));
  EXPECT_EQ(Log(), "");
}

TEST_F(ReportIntegrityTest, EveryTextStaysInSight) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  Click(m, "cmdAddEntry");
  for (const char* frame : {"frameDisplay", "frameSort", "frameShow"}) {
    EXPECT_FALSE(m->findChild<QGroupBox*>(QString::fromLatin1(frame))->isVisible()) << frame << " peeks out";
  }
  for (int n : {14, 34, 44, 45}) {
    FormOf(m)->FocusField(n);
    QCoreApplication::processEvents();
    QLabel* heading = FormOf(m)->heading(n);
    EXPECT_TRUE(heading->font().bold());
    EXPECT_GE(heading->width(), heading->sizeHint().width()) << "heading " << n << " is cut off";
  }
  for (int n : {44, 45}) {
    FormOf(m)->SetFieldText(n, QStringLiteral("some text"));
    QLabel* full = FormOf(m)->spaceFull(n);
    QLabel* heading = FormOf(m)->heading(n);
    const QRect text(heading->pos(), heading->sizeHint());
    EXPECT_FALSE(full->geometry().intersects(text)) << "indicator " << n << " overlaps its heading";
  }
  Click(m, "cmdAddCancel");
  EXPECT_TRUE(m->findChild<QGroupBox*>(QStringLiteral("frameDisplay"))->isVisible());
}

TEST_F(ReportIntegrityTest, TheCloseBoxSignsOutOnce) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  g.messages->Press(1);
  m->close();
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Exit Kestrova?"));
  EXPECT_EQ(g.programEnded, 1);
  const std::string log = ReadFileBytes(g.folder / "SignInOut.Log");
  EXPECT_EQ(log, "12/06/2026 at 14:05:09 - Al Adams signed out\r\n");
}

}  // namespace
}  // namespace kestrova::gui

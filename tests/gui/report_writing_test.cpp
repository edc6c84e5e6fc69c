#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/reports/data_file.h"
#include "core/reports/report_actions.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/search/frm_find.h"
#include "gui/ui/zel_button.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"
#include "support/main_window_fixture.h"
#include "support/processes.h"

namespace kestrova::gui {
namespace {

using testing::FormOf;
using testing::GridOf;
using testing::ListOf;
using testing::ModelOf;
using testing::PictureOf;

using testing::Click;
using testing::RightClick;

namespace fs = std::filesystem;
using testing::CloseAllWindows;
using testing::GuiSession;
using testing::ReadFileBytes;

using testing::Report;

class ReportWritingTest : public testing::MainWindowFixture {};

TEST_F(ReportWritingTest, AddingIntoAnEmptyDatabase) {
  g.messages->Press(1);  // "Nothing on file"
  frmMain* m = Open();
  Click(m, "cmdAddEntry");
  EXPECT_TRUE(m->adding());
  EXPECT_FALSE(m->findChild<QGroupBox*>(QStringLiteral("frame1"))->isVisible()) << "the window shrinks to the form";
  ZelButton* save = Cmd(m, "cmdAddSave");
  EXPECT_TRUE(save->isVisible());
  EXPECT_FALSE(save->isEnabled());
  EXPECT_FALSE(Cmd(m, "cmdAddEntry")->isVisible());
  EXPECT_FALSE(FormOf(m)->field(0)->isVisible()) << "no control number before saving";
  Type(m, 1, QStringLiteral("24-0001"));
  Type(m, 2, QStringLiteral("Stolen bicycle"));
  Type(m, 4, QStringLiteral("   "));
  EXPECT_FALSE(save->isEnabled()) << "blanks count as empty";
  Type(m, 4, QStringLiteral("Ofc. Park"));
  FormOf(m)->FocusField(5);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(5), QStringLiteral("Dec 06, 2026 2:05pm")) << "field 5 takes the current moment";
  EXPECT_TRUE(save->isEnabled());
  FormOf(m)->FocusField(44);
  FormOf(m)->SetFieldText(44, QString(4000, QLatin1Char('n')));
  EXPECT_EQ(FormOf(m)->spaceFull(44)->text(), QStringLiteral(" 25% full "));
  FormOf(m)->SetFieldText(44, QString(10, QLatin1Char('n')));
  EXPECT_EQ(FormOf(m)->spaceFull(44)->text(), QStringLiteral(" 1% full "));
  Click(m, "cmdAddSave");
  EXPECT_FALSE(m->adding());
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 20001u);
  const auto r = Stored(1);
  EXPECT_EQ(r.CaseNumber, "24-0001");
  EXPECT_EQ(r.ControlNumber, time::ToOleDate({2026, 12, 6, 14, 5, 9}));
  EXPECT_EQ(r.DateEntered, time::ToOleDate({2026, 12, 6, 14, 5, 0}));
  EXPECT_EQ(r.ListStatus, 1);
  EXPECT_EQ(r.ProgramVersion, 414);
  EXPECT_EQ(r.Property1Value, 0) << "an empty value is stored as 0";
  EXPECT_EQ(Log(), "12/06/2026 at 14:05:09 - Control#20261206140509 added by Al Adams\r\n");
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (1) "));
  EXPECT_EQ(ListOf(m).currentRow(), 1);
  EXPECT_EQ(FormOf(m)->fieldText(0), QStringLiteral("20261206140509"));
  EXPECT_TRUE(FormOf(m)->field(0)->isVisible());
}

TEST_F(ReportWritingTest, ATemplateAddBringsBackTheShownReportsTexts) {
  reports::ReportRecord shown = Report("24-0017", 5);
  shown.Person2Context = "Witness";
  shown.Picture1 = "somewhere.png";
  Add(shown);
  frmMain* m = Open();
  RightClick(m, "cmdAddEntry");
  EXPECT_TRUE(m->templateAdd());
  EXPECT_EQ(FormOf(m)->fieldText(2), QString()) << "every field starts empty";
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), FormOf(m)->field(1)) << "the caret starts in the case number";
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-0017")) << "entered, it brings back the template's";
  FormOf(m)->FocusField(5);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(5), QStringLiteral("Jan 05, 2024 9:00am")) << "the template's date, not now";
  int menus = 0;
  FormOf(m)->setPickListChooser([&](const reports::PickList&, QPoint) { return ++menus, 0; });
  FormOf(m)->FocusField(18);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(18), QStringLiteral("Witness"));
  EXPECT_EQ(menus, 0) << "a context field with a remembered text opens no pick-list";
  EXPECT_EQ(FormOf(m)->heading(18)->text(), QStringLiteral("Double-click for Menu"));
  EXPECT_TRUE(FormOf(m)->picturePaths()[0].isEmpty()) << "pictures are not taken over";
  Click(m, "cmdAddCancel");
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 20001u) << "a cancelled add writes nothing";
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-0017"));
}

TEST_F(ReportWritingTest, Field9PickListsAndTheDateCheck) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  Click(m, "cmdAddEntry");
  Type(m, 6, QStringLiteral("01/05/2024 10:00"));
  FormOf(m)->FocusField(9);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(9), QStringLiteral("01/05/2024 10:00"));
  Type(m, 7, QStringLiteral("01/06/2024 11:00"));
  Type(m, 9, QStringLiteral("typed over"));
  FormOf(m)->FocusField(10);
  FormOf(m)->FocusField(9);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(9), QStringLiteral("typed over")) << "a value it holds is kept";
  Type(m, 9, QString());
  FormOf(m)->FocusField(10);
  FormOf(m)->FocusField(9);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(9), QStringLiteral("01/06/2024 11:00")) << "emptied, it takes field 7's";

  std::string asked;
  FormOf(m)->setPickListChooser([&](const reports::PickList& list, QPoint) {
    asked = list.caption;
    return 4;  // "Victim"
  });
  FormOf(m)->FocusField(15);
  QCoreApplication::processEvents();
  EXPECT_EQ(asked, "Person Context");
  EXPECT_EQ(FormOf(m)->fieldText(15), QStringLiteral("Victim"));
  EXPECT_EQ(FormOf(m)->currentField(), 16) << "the focus moves on";
  FormOf(m)->setPickListChooser([](const reports::PickList&, QPoint) { return 16; });  // "Other"
  FormOf(m)->FocusField(18);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(18), QString());
  EXPECT_EQ(FormOf(m)->currentField(), 18) << "after Other the focus stays";

  for (int f : {1, 2, 4}) Type(m, f, QStringLiteral("x"));
  Type(m, 5, QStringLiteral("01/05/2024"));
  Type(m, 6, QStringLiteral("32/13/2024"));
  g.messages->Press(1);
  Click(m, "cmdAddSave");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Unrecognizable Date"));
  EXPECT_EQ(g.messages->Last().lines()[0], QStringLiteral("32/13/2024"));
  EXPECT_EQ(FormOf(m)->currentIndex(), 1);
  EXPECT_TRUE(m->adding());
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 20001u) << "nothing written";
  EXPECT_FALSE(fs::exists(g.folder / "DataRecords.Log"));

  // A bad value further on: the empty value before it already shows 0.
  Type(m, 6, QStringLiteral("01/05/2024 10:00"));
  Type(m, 43, QStringLiteral("lots"));
  g.messages->Press(1);
  Click(m, "cmdAddSave");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Unrecognizable Value"));
  EXPECT_EQ(FormOf(m)->currentIndex(), 4);
  EXPECT_EQ(FormOf(m)->fieldText(35), QStringLiteral("0")) << "empty values show 0 until displayed again";
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 20001u);
}

TEST_F(ReportWritingTest, EditingRewritesTheRecordAndTheRowInPlace) {
  Add(Report("24-1", 5));
  Add(Report("24-2", 6));
  frmMain* m = Open();
  ASSERT_EQ(ListOf(m).currentRow(), 2);
  Click(m, "cmdEditEntry");
  EXPECT_TRUE(m->editing());
  EXPECT_FALSE(Cmd(m, "cmdEditSave")->isEnabled()) << "nothing changed yet";
  EXPECT_FALSE(Cmd(m, "cmdDeleteEntry")->isVisible());
  Type(m, 1, QStringLiteral("00-first"));
  Type(m, 2, QStringLiteral("A new title, longer than before"));
  Type(m, 7, QString());
  EXPECT_TRUE(Cmd(m, "cmdEditSave")->isEnabled());
  Click(m, "cmdEditSave");
  EXPECT_FALSE(m->editing());
  const std::string bytes = ReadFileBytes(g.folder / "Kestrova.Data");
  EXPECT_EQ(bytes.substr(20001 + 8, 15), "00-first       ");
  EXPECT_EQ(bytes.substr(20001 + 23, 31), "A new title, longer than before");
  double control = 0;
  std::memcpy(&control, bytes.data() + 20001, 8);
  EXPECT_EQ(control, time::ToOleDate({2024, 1, 6, 9, 0, 0})) << "the control number is kept";
  EXPECT_EQ(Log(), "12/06/2026 at 14:05:09 - Control#20240106090000 edited by Al Adams\r\n");
  EXPECT_EQ(ListOf(m).currentRow(), 2) << "the row stays where it was";
  EXPECT_EQ(ModelOf(m).rows()[1].caseNumber, "00-first");
  EXPECT_EQ(ModelOf(m).rows()[1].rightColumn, "A new title, longer than before");
}

// A data file that cannot be written (here: a torn last record, which is
// never written to) refuses the save; the form stays as the user left it.
TEST_F(ReportWritingTest, ASaveThatCannotBeWrittenKeepsTheTyping) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  const auto path = g.folder / "Kestrova.Data";
  {
    // A first report no release of ours wrote: the file is read, never written.
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(19999);
    file.write("\0\0", 2);
  }
  const auto size = fs::file_size(path);

  Click(m, "cmdAddEntry");
  Type(m, 1, QStringLiteral("24-2"));
  Type(m, 2, QStringLiteral("Broken window"));
  Type(m, 4, QStringLiteral("Ofc. Park"));
  FormOf(m)->FocusField(5);  // takes the current moment
  QCoreApplication::processEvents();
  ASSERT_TRUE(Cmd(m, "cmdAddSave")->isEnabled());
  g.messages->Press(1);
  Click(m, "cmdAddSave");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Report Not Saved"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("Kestrova.Data")))
      << g.messages->Last().message.toStdString();
  EXPECT_TRUE(g.messages->Last().message.endsWith(QStringLiteral("Your entries are still in the form.")));
  EXPECT_TRUE(m->adding()) << "the form stays open";
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-2"));
  EXPECT_EQ(FormOf(m)->fieldText(2), QStringLiteral("Broken window"));
  EXPECT_TRUE(Cmd(m, "cmdAddSave")->isEnabled()) << "the user may try again";
  EXPECT_EQ(fs::file_size(path), size);
  EXPECT_EQ(Log(), "") << "nothing saved, nothing logged";
  Click(m, "cmdAddCancel");

  Click(m, "cmdEditEntry");
  Type(m, 2, QStringLiteral("Changed title"));
  g.messages->Press(1);
  Click(m, "cmdEditSave");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Report Not Saved"));
  EXPECT_TRUE(m->editing());
  EXPECT_EQ(FormOf(m)->fieldText(2), QStringLiteral("Changed title"));
  EXPECT_EQ(ReadFileBytes(path).substr(23, 8), "Title 24") << "the stored report is untouched";
  EXPECT_EQ(Log(), "");
}

TEST_F(ReportWritingTest, ArchiveRestoreWithTheirQuestionsAndTheEmptyInactiveList) {
  Add(Report("24-1", 5));
  Add(Report("24-2", 6));
  frmMain* m = Open();
  g.messages->Press(2, true);  // cancel, but don't ask again
  Click(m, "cmdArchiveEntry");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Archive Option"));
  EXPECT_EQ(g.messages->Last().buttons[1], QStringLiteral("&Cancel, don't do anything"));
  EXPECT_EQ(Stored(2).ListStatus, 1) << "cancelled";
  const int asked = static_cast<int>(g.messages->asked.size());
  Click(m, "cmdArchiveEntry");
  EXPECT_EQ(g.messages->asked.size(), asked) << "the next archive asks nothing";
  EXPECT_EQ(Stored(2).ListStatus, 2);
  EXPECT_NE(Log().find("Control#20240106090000 archived by Al Adams"), std::string::npos);
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (1) "));

  m->findChild<QRadioButton*>(QStringLiteral("optDisplay2"))->click();
  ASSERT_EQ(ListOf(m).caption(), QStringLiteral(" All Inactive Reports (1) "));
  g.messages->Press(1).Press(1);
  Click(m, "cmdRestoreEntry");
  EXPECT_EQ(g.messages->asked[g.messages->asked.size() - 2].caption, QStringLiteral("Confirm Restoration"));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("'Inactive List' Empty"));
  EXPECT_EQ(g.messages->Last().buttons, QStringList{QStringLiteral("&Return to the 'Active List'")});
  EXPECT_TRUE(m->findChild<QRadioButton*>(QStringLiteral("optDisplay1"))->isChecked());
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (2) "));
  EXPECT_NE(Log().find("restored by Al Adams"), std::string::npos);
}

TEST_F(ReportWritingTest, DeletingAsksWithNoAsDefaultAndTheLastLeavesNoFile) {
  Add(Report("24-1", 5));
  Add(Report("24-2", 6));
  frmMain* m = Open();
  g.messages->Press(2);
  Click(m, "cmdDeleteEntry");
  const MessageRequest& ask = g.messages->Last();
  EXPECT_EQ(ask.caption, QStringLiteral("Confirm Entry Deletion"));
  EXPECT_EQ(ask.defaultButton, 2);
  EXPECT_FALSE(ask.showCheckBox);
  EXPECT_EQ(ask.lines()[1], QStringLiteral("this report from the Kestrova database?"));
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 40002u);
  g.messages->Press(1);
  Click(m, "cmdDeleteEntry");
  EXPECT_EQ(fs::file_size(g.folder / "Kestrova.Data"), 20001u);
  EXPECT_EQ(Log(), "12/06/2026 at 14:05:09 - Control#20240106090000 deleted by Al Adams\r\n");
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (1) "));
  g.messages->Press(1);
  Click(m, "cmdDeleteEntry");
  EXPECT_FALSE(fs::exists(g.folder / "Kestrova.Data"));
  EXPECT_TRUE(ModelOf(m).rows().empty());
}

TEST_F(ReportWritingTest, AnEditFollowsItsReportWhenAnotherWorkstationDeletedAnEarlierOne) {
  for (const char* c : {"A", "B", "C"}) Add(Report(c, 5));
  frmMain* m = Open();
  ASSERT_EQ(FormOf(m)->fieldText(1), QStringLiteral("C"));
  Click(m, "cmdEditEntry");
  Type(m, 2, QStringLiteral("my edit"));
  // Meanwhile another workstation deletes A: C becomes record 2.
  Elsewhere([&] {
    const double control = time::ToOleDate({2024, 1, 5, 9, 0, 0});
    return reports::DeleteReport(g.folder.path(), {1, control, "A"}, nullptr).ok();
  });
  Seconds(m, 6);
  ASSERT_FALSE(RefreshResting(m)) << "the change was seen";
  Click(m, "cmdEditSave");
  EXPECT_TRUE(g.messages->asked.isEmpty());
  EXPECT_FALSE(m->editing());
  EXPECT_EQ(Stored(2).Title, "my edit");
  EXPECT_EQ(Stored(1).Title, "Title B") << "B, now record 1, is untouched";
  EXPECT_EQ(Log(), "12/06/2026 at 14:05:06 - Control#20240105090000 edited by Al Adams\r\n");
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (2) ")) << "the list is rebuilt";
  EXPECT_EQ(ModelOf(m).rows()[static_cast<std::size_t>(ListOf(m).currentRow() - 1)].recordNumber, 2);
  EXPECT_EQ(FormOf(m)->fieldText(2), QStringLiteral("my edit"));
  EXPECT_TRUE(RefreshResting(m)) << "the rebuild answers the alert";
}

TEST_F(ReportWritingTest, AnEditOfAReportDeletedOrChangedElsewhereKeepsTheTyping) {
  for (const char* c : {"A", "B", "C"}) Add(Report(c, 5));
  frmMain* m = Open();
  Click(m, "cmdEditEntry");
  Type(m, 2, QStringLiteral("my edit"));
  // Another workstation changes C under the edit.
  Elsewhere([&] {
    return reports::ChangeReport(g.folder.path(), {3, time::ToOleDate({2024, 1, 5, 9, 0, 0}), "C"},
                                 [](reports::ReportRecord& r) { r.Title = "their edit"; })
        .ok();
  });
  Seconds(m, 6);
  const std::string before = ReadFileBytes(g.folder / "Kestrova.Data");
  g.messages->Press(2);  // "&Keep writing"
  Click(m, "cmdEditSave");
  const MessageRequest refused = g.messages->Last();
  EXPECT_EQ(refused.caption, QStringLiteral("Report Changed Elsewhere"));
  EXPECT_TRUE(refused.lines()[0].startsWith(QStringLiteral("Report C was deleted or changed")));
  EXPECT_EQ(refused.buttons,
            (QStringList{QStringLiteral("&Save it as a new report"), QStringLiteral("&Keep writing")}));
  EXPECT_EQ(ReadFileBytes(g.folder / "Kestrova.Data"), before) << "nothing written";
  EXPECT_TRUE(m->editing());
  EXPECT_EQ(FormOf(m)->fieldText(2), QStringLiteral("my edit"));
  EXPECT_EQ(QApplication::focusWidget(), FormOf(m)->field(2)) << "back in the field being written";
  EXPECT_TRUE(RefreshResting(m));
  EXPECT_EQ(ListOf(m).currentRow(), 3) << "the row of the report as they changed it";
  EXPECT_FALSE(ListOf(m).frame()->isEnabled()) << "the list holds still";

  // Then deleted there too: this time the text goes in as a new report.
  Elsewhere([&] {
    return reports::DeleteReport(g.folder.path(), {3, time::ToOleDate({2024, 1, 5, 9, 0, 0}), "C"}, nullptr).ok();
  });
  g.messages->Press(1);
  Click(m, "cmdEditSave");
  EXPECT_FALSE(m->editing());
  const auto added = Stored(3);
  EXPECT_EQ(added.Title, "my edit");
  EXPECT_EQ(added.CaseNumber, "C");
  EXPECT_EQ(added.ControlNumber, time::ToOleDate({2026, 12, 6, 14, 5, 6})) << "a new report of its own";
  EXPECT_NE(Log().find("Control#20261206140506 added by Al Adams"), std::string::npos);
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (3) "));
  EXPECT_EQ(ModelOf(m).rows()[static_cast<std::size_t>(ListOf(m).currentRow() - 1)].recordNumber, 3);
}

TEST_F(ReportWritingTest, PicturesAreChosenRefusedAndRemoved) {
  Add(Report("24-1", 5));
  QImage image(60, 30, QImage::Format_RGB32);
  image.fill(Qt::red);
  const QString good = QString::fromStdString((g.folder / "good.png").string());
  ASSERT_TRUE(image.save(good));
  testing::WriteFileBytes(g.folder / "bad.png", "not a picture");
  frmMain* m = Open();
  Click(m, "cmdEditEntry");
  FormOf(m)->setCurrentIndex(5);
  g.filePicker->answers = {QString::fromStdString((g.folder / "bad.png").string()), good};
  g.messages->Press(1);
  Click(PictureOf(m, "cmdAddEditPic", 1));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("File Access Error"));
  EXPECT_TRUE(FormOf(m)->picturePaths()[0].isEmpty());
  Click(PictureOf(m, "cmdAddEditPic", 1));
  EXPECT_EQ(FormOf(m)->picturePaths()[0], good);
  EXPECT_TRUE(Cmd(m, "cmdEditSave")->isEnabled());
  Click(m, "cmdEditSave");
  EXPECT_EQ(Stored(1).Picture1, good.toStdString());
  // Removing it: the question, then the slot is empty and the file stays.
  Click(m, "cmdEditEntry");
  FormOf(m)->setCurrentIndex(5);
  g.messages->Press(1);
  Click(PictureOf(m, "cmdDeletePic", 1));
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Confirm picture deletion"));
  EXPECT_EQ(g.messages->Last().defaultButton, 2);
  Click(m, "cmdEditSave");
  EXPECT_EQ(Stored(1).Picture1, "");
  EXPECT_TRUE(fs::exists(g.folder / "good.png"));
}

TEST_F(ReportWritingTest, PassingThroughReportedOnKeepsItsDate) {
  reports::ReportRecord r = Report("24-1", 5);
  r.OccurredTo = time::ToOleDate({2024, 1, 4, 1, 17, 0});
  r.ReportedOn = time::ToOleDate({2024, 1, 4, 16, 43, 4});
  Add(r);
  frmMain* m = Open();
  Click(m, "cmdEditEntry");
  Type(m, 2, QStringLiteral("A new title"));
  // Tabbed through from field 8 to 10, as a user does.
  FormOf(m)->FocusField(8);
  QCoreApplication::processEvents();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCoreApplication::processEvents();
  auto* nine = static_cast<QLineEdit*>(FormOf(m)->field(9));
  ASSERT_EQ(QApplication::focusWidget(), nine);
  EXPECT_EQ(nine->text(), QStringLiteral("Jan 04, 2024 4:43pm"));
  EXPECT_EQ(nine->selectedText(), nine->text()) << "selected, as entering a field does";
  QTest::keyClick(nine, Qt::Key_Tab);
  // Left before its selection was made: none is drawn there afterwards.
  FormOf(m)->FocusField(5);
  FormOf(m)->FocusField(6);
  QCoreApplication::processEvents();
  EXPECT_FALSE(static_cast<QLineEdit*>(FormOf(m)->field(5))->hasSelectedText());
  Click(m, "cmdEditSave");
  EXPECT_EQ(Stored(1).ReportedOn, time::ToOleDate({2024, 1, 4, 16, 43, 4})) << "seconds and all";

  // A template add: field 9 is empty as entered, so it takes field 7's date.
  RightClick(m, "cmdAddEntry");
  FormOf(m)->FocusField(7);
  FormOf(m)->FocusField(9);
  QCoreApplication::processEvents();
  EXPECT_EQ(FormOf(m)->fieldText(9), QStringLiteral("Jan 04, 2024 1:17am"));
  // A date without a year is read as the save reads it, in this year.
  Type(m, 6, QStringLiteral("Jan 5"));
  QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), FormOf(m)->field(6)->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(FormOf(m)->field(6), &tip);
  EXPECT_EQ(QToolTip::text(), QStringLiteral("Monday"));
  Click(m, "cmdAddCancel");
}

TEST_F(ReportWritingTest, AnAltKeyNeverTypesIntoAField) {
  reports::ReportRecord r = Report("24-1", 5);
  r.Title = "Makita cordless drill";
  Add(r);
  frmMain* m = Open();
  Click(m, "cmdEditEntry");
  FormOf(m)->FocusField(2);
  QCoreApplication::processEvents();
  // "Ad&ministrative Window", "Refresh &List" and "Res&tore this Report"
  // are hidden while editing.
  for (Qt::Key key : {Qt::Key_M, Qt::Key_L, Qt::Key_T})
    QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
  EXPECT_EQ(FormOf(m)->fieldText(2), QStringLiteral("Makita cordless drill"));
  EXPECT_TRUE(m->editing());
  EXPECT_FALSE(Cmd(m, "cmdEditSave")->isEnabled()) << "nothing changed";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
  EXPECT_FALSE(m->editing()) << "a shown command's key still works from a field";
}

TEST_F(ReportWritingTest, TheKeyboardLandsWhereTheUserWorks) {
  for (const char* c : {"24-1", "24-2", "24-3"}) Add(Report(c, 5));
  frmMain* m = Open();
  testing::WhenModalOpens<frmFind>([](frmFind* find) {
    testing::Activate(find);
    find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"))->setText(QStringLiteral("Title 24-2"));
    testing::Click(find, "cmdFind");
  });
  // (The window's focus widget: what has the keyboard once it is active.)
  Click(m, "cmdFindEntries");
  ASSERT_FALSE(m->listFlags().FullListShown);
  EXPECT_EQ(m->focusWidget(), GridOf(m)) << "after a search";
  m->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m));
  Click(m, "cmdSeeAllEntries");
  EXPECT_EQ(QApplication::focusWidget(), GridOf(m)) << "after Finished Searching";
  Click(m, "cmdEditEntry");
  Type(m, 2, QStringLiteral("changed"));
  g.messages->Press(2);  // "&Keep writing"
  Click(m, "cmdQuit");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Discard Report?"));
  EXPECT_EQ(QApplication::focusWidget(), FormOf(m)->field(2));
  Click(m, "cmdEditCancel");
}

TEST_F(ReportWritingTest, TheAccessKeysOfTheCommandsWork) {
  Add(Report("24-1", 5));
  frmMain* m = Open();
  QTest::keyClick(m, Qt::Key_E, Qt::AltModifier);
  EXPECT_TRUE(m->editing()) << "Alt+E edits";
  Click(m, "cmdEditCancel");
  QTest::keyClick(m, Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(m->adding()) << "Alt+A adds a report";
  EXPECT_EQ(FormOf(m)->fieldText(1), QString());
  EXPECT_EQ(FormOf(m)->fieldText(2), QString());
  // The caret is in field 1: typing at once fills it.
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed"));
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("typed"));
  EXPECT_TRUE(m->adding());
  Click(m, "cmdAddCancel");
  g.messages->Press(2);
  QTest::keyClick(m, Qt::Key_D, Qt::AltModifier);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Confirm Entry Deletion")) << "Alt+D deletes";
  QTest::keyClick(m, Qt::Key_P, Qt::AltModifier);
  EXPECT_EQ(FormOf(m)->currentIndex(), 2) << "Alt+P shows the People tab";
}

}  // namespace
}  // namespace kestrova::gui

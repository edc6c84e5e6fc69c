#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "core/reports/data_file.h"
#include "core/reports/report_display.h"
#include "gui/reports/frm_main.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/search/date_picker.h"
#include "gui/search/frm_find.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "gui/window_flow.h"
#include "support/gui_helpers.h"
#include "support/gui_session.h"
#include "support/main_window_face.h"

namespace kestrova::gui {
namespace {

using testing::FlasherOf;
using testing::FormOf;
using testing::GridOf;
using testing::ListOf;
using testing::ModelOf;
using testing::PictureOf;

using testing::Click;
using testing::CloseAllWindows;
using testing::GuiSession;
using testing::ReadFileBytes;

reports::ReportRecord Report(const std::string& caseNumber, time::DateTime entered) {
  reports::ReportRecord r;
  r.ControlNumber = time::ToOleDate(entered);
  r.CaseNumber = caseNumber;
  r.Title = "Title " + caseNumber;
  r.CriminalViolations = "PC " + caseNumber;
  r.ReportMadeBy = "Ofc. Test";
  r.DateEntered = time::ToOleDate(entered);
  r.ProgramVersion = 414;
  return r;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { g.session->signIn = {"Al Adams", users::AccessLevel::FullAccess}; }
  void TearDown() override { CloseAllWindows(*g.session); }
  void Add(const reports::ReportRecord& r) { ASSERT_TRUE(reports::AppendReport(g.folder.path(), r).ok()); }
  frmMain* Open() {
    frmMain* main = g.flow->OpenMainWindow();
    testing::Activate(main);
    return main;
  }
  static ZelButton* Cmd(frmMain* m, const char* name) { return m->findChild<ZelButton*>(QString::fromLatin1(name)); }
  template <class T>
  static T* Child(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
  }
  GuiSession g;
};

TEST_F(MainWindowTest, AnEmptyDatabaseSaysNothingIsOnFile) {
  g.messages->Press(1);
  frmMain* m = Open();
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Nothing on file"));
  EXPECT_EQ(g.messages->Last().lines(),
            (QStringList{QStringLiteral("There are currently"), QStringLiteral("no entries in your database...")}));
  EXPECT_EQ(ListOf(m).caption(), QString());
  EXPECT_FALSE(Child<QGroupBox>(m, "frame1")->isEnabled());
  EXPECT_FALSE(Child<QGroupBox>(m, "frameShow")->isVisible());
  EXPECT_FALSE(Child<QGroupBox>(m, "frameSort")->isVisible());
  EXPECT_FALSE(Child<QRadioButton>(m, "optDisplay1")->isEnabled());
  EXPECT_FALSE(Child<QRadioButton>(m, "optDisplay2")->isEnabled());
  EXPECT_FALSE(FormOf(m)->isVisible());
  EXPECT_TRUE(Cmd(m, "cmdAddEntry")->isVisible());
  EXPECT_FALSE(Cmd(m, "cmdFindEntries")->isVisible());
}

TEST_F(MainWindowTest, OneReportIsListedWithoutSortOrShading) {
  Add(Report("24-1", {2024, 1, 5, 15, 5, 0}));
  frmMain* m = Open();
  EXPECT_TRUE(g.messages->asked.isEmpty());
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (1) "));
  EXPECT_FALSE(Child<QGroupBox>(m, "frameSort")->isVisible());
  EXPECT_TRUE(Child<QGroupBox>(m, "frameShow")->isVisible());
  EXPECT_FALSE(ModelOf(m).data(ModelOf(m).index(0, 0), Qt::BackgroundRole).isValid()) << "no shading";
  EXPECT_EQ(ListOf(m).currentRow(), 1);
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-1"));
  EXPECT_TRUE(Child<QRadioButton>(m, "optDisplay1")->isEnabled());
  EXPECT_FALSE(Child<QRadioButton>(m, "optDisplay2")->isEnabled());
}

TEST_F(MainWindowTest, AFullListStartsOnItsLastRowAndShadesRows) {
  for (int i = 1; i <= 5; ++i) Add(Report("24-" + std::to_string(i), {2024, 1, i, 9, 0, 0}));
  frmMain* m = Open();
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (5) "));
  EXPECT_EQ(ListOf(m).currentRow(), 5);
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-5"));
  EXPECT_EQ(ModelOf(m).data(ModelOf(m).index(0, 0), Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 255));
  EXPECT_EQ(ModelOf(m).data(ModelOf(m).index(1, 0), Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 240));
  EXPECT_EQ(ModelOf(m).headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Title or Descriptive Remarks"));
  EXPECT_TRUE(GridOf(m)->isColumnHidden(3));
  EXPECT_TRUE(GridOf(m)->isColumnHidden(4));
  EXPECT_EQ(ListOf(m).GridToolTip(GridOf(m)->visualRect(ModelOf(m).index(0, 1)).center()),
            QStringLiteral(" Monday "));  // 01/01/2024
  EXPECT_EQ(ListOf(m).GridToolTip(GridOf(m)->visualRect(ModelOf(m).index(0, 0)).center()), QString());
  // Choosing a row shows its report, read from the file.
  GridOf(m)->setCurrentIndex(ModelOf(m).index(1, 0));
  EXPECT_EQ(FormOf(m)->fieldText(1), QStringLiteral("24-2"));
}

TEST_F(MainWindowTest, TheFormShowsEachFormat) {
  reports::ReportRecord r = Report("24-9", {2024, 1, 5, 15, 5, 0});
  r.ControlNumber = 0;
  r.DateEntered = 0;
  r.Property1Value = 12345000;
  r.Narrative = "  The narrative.  ";
  Add(r);
  frmMain* m = Open();
  ReportForm* f = FormOf(m);
  EXPECT_EQ(f->fieldText(0), QStringLiteral("n/a"));
  EXPECT_EQ(f->fieldText(5), QStringLiteral("Dec 30, 1899 12:00am"));
  EXPECT_EQ(f->fieldText(6), QString());
  EXPECT_EQ(f->fieldText(35), QStringLiteral("1,234.50"));
  EXPECT_EQ(f->fieldText(39), QString());
  EXPECT_EQ(f->fieldText(44), QStringLiteral("The narrative."));
  EXPECT_EQ(f->heading(14)->text(), QStringLiteral("Name  R/S/A  DOB  SS# (Or Name of Business)"));
  EXPECT_EQ(f->heading(8)->text(), QStringLiteral("Location Occurred"));
  // The heading names its field for the keyboard: its "&" is shown, not
  // taken for an access key.
  EXPECT_EQ(f->heading(13)->text(), QStringLiteral("Address && Contact Information"));
  auto* field2 = qobject_cast<QLineEdit*>(f->field(2));
  EXPECT_TRUE(field2->isReadOnly());
  EXPECT_EQ(field2->palette().color(QPalette::Base), QColor(192, 255, 255));
  EXPECT_EQ(f->field(0)->palette().color(QPalette::Base), QColor(0, 128, 128));
  EXPECT_EQ(f->tabText(1), QStringLiteral("(&Wh)o/en/ere"));
  EXPECT_EQ(f->count(), 7);
}

TEST_F(MainWindowTest, PicturesAreScaledIntoTheirSlots) {
  QImage wide(ToPixels(6000), ToPixels(3000), QImage::Format_RGB32);
  wide.fill(Qt::darkGreen);
  ASSERT_TRUE(wide.save(QString::fromStdString((g.folder / "wide.png").string())));
  reports::ReportRecord r = Report("24-1", {2024, 1, 5, 15, 5, 0});
  r.Picture1 = "wide.png";
  r.Picture2 = "missing.jpg";
  Add(r);
  frmMain* m = Open();
  ReportForm* f = FormOf(m);
  EXPECT_EQ(PictureOf<QLabel>(m, "imgPic", 1)->size(), QSize(ToPixels(3000), ToPixels(1500)));
  EXPECT_EQ(PictureOf<QLabel>(m, "imgPic", 1)->toolTip(), QStringLiteral("wide.png"));
  EXPECT_TRUE(PictureOf<QLabel>(m, "lblPic", 1)->isHidden());
  EXPECT_FALSE(PictureOf(m, "cmdLargerPic", 1)->isHidden());
  EXPECT_EQ(PictureOf<QLabel>(m, "lblPic", 2)->text(), QStringLiteral("There was an error in generating this picture"));
  EXPECT_TRUE(PictureOf(m, "cmdLargerPic", 2)->isHidden());
  EXPECT_EQ(PictureOf<QLabel>(m, "lblPic", 3)->text(), QStringLiteral("No\npicture"));
  EXPECT_EQ(f->picturePaths()[0], QStringLiteral("wide.png"));
  EXPECT_EQ(f->picturePaths()[1], QString());
}

TEST_F(MainWindowTest, CommandsFollowTheAccessLevel) {
  for (int i = 1; i <= 3; ++i) Add(Report("24-" + std::to_string(i), {2024, 1, i, 9, 0, 0}));
  g.session->signIn = {"Morgan Park", users::AccessLevel::ReadOnly};
  frmMain* m = Open();
  EXPECT_TRUE(Cmd(m, "cmdEditEntry")->isVisible());
  EXPECT_FALSE(Cmd(m, "cmdEditEntry")->isEnabled());
  EXPECT_FALSE(Cmd(m, "cmdAddEntry")->isEnabled());
  EXPECT_FALSE(Cmd(m, "cmdArchiveEntry")->isEnabled());
  EXPECT_TRUE(Cmd(m, "cmdFindEntries")->isVisible());
  EXPECT_EQ(Cmd(m, "cmdFindEntries")->Caption(), QStringLiteral("Search this list..."));
  EXPECT_FALSE(Cmd(m, "cmdSeeAllEntries")->isVisible());
  CloseAllWindows(*g.session);
  g.session->signIn = {"Al Adams", users::AccessLevel::FullAccess};
  m = Open();
  EXPECT_TRUE(Cmd(m, "cmdArchiveEntry")->isEnabled());
  EXPECT_TRUE(Cmd(m, "cmdDeleteEntry")->isEnabled());
  EXPECT_FALSE(Cmd(m, "cmdRestoreEntry")->isVisible());
}

TEST_F(MainWindowTest, APhraseSearchMakesATitledLoggedSubList) {
  reports::ReportRecord r = Report("24-1", {2024, 1, 5, 15, 5, 0});
  r.Person1Name = "SMITH, JOHN";
  Add(r);
  Add(Report("24-2", {2024, 1, 6, 15, 5, 0}));
  Add(Report("24-3", {2024, 1, 7, 15, 5, 0}));
  frmMain* m = Open();
  testing::WhenModalOpens<frmFind>([](frmFind* find) {
    testing::Activate(find);
    find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"))->setText(QStringLiteral("  smith "));
    EXPECT_TRUE(find->findChild<ZelButton*>(QStringLiteral("cmdFind"))->isEnabled());
    EXPECT_TRUE(testing::FlasherOf(find).IsRunning());
    EXPECT_EQ(find->findChild<ZelButton*>(QStringLiteral("cmdFind"))->toolTip(),
              QStringLiteral(" Start searching for 'smith' "));
    testing::Click(find, "cmdFind");
  });
  Click(m, "cmdFindEntries");
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" Sub-list of reports containing 'smith' (1 match) "));
  EXPECT_TRUE(m->listFlags().PhraseSearchActive);
  EXPECT_FALSE(m->listFlags().FullListShown);
  EXPECT_EQ(ListOf(m).currentRow(), 1);
  EXPECT_TRUE(Cmd(m, "cmdSeeAllEntries")->isVisible());
  EXPECT_FALSE(Cmd(m, "cmdAddEntry")->isVisible());
  EXPECT_EQ(testing::FlasherOf(m).target(), Cmd(m, "cmdSeeAllEntries"));
  EXPECT_EQ(ReadFileBytes(g.folder / "Search.Log"), "12/06/2026 at 14:05:09 - Al Adams searched for 'smith'\r\n");
  Click(m, "cmdSeeAllEntries");
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (3) "));
  EXPECT_FALSE(testing::FlasherOf(m).IsRunning());
  EXPECT_FALSE(Cmd(m, "cmdSeeAllEntries")->isVisible());
}

TEST_F(MainWindowTest, NoMatchesReturnsToTheFullList) {
  for (int i = 1; i <= 3; ++i) Add(Report("24-" + std::to_string(i), {2024, 1, i, 9, 0, 0}));
  frmMain* m = Open();
  testing::WhenModalOpens<frmFind>([](frmFind* find) {
    testing::Activate(find);
    find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"))->setText(QStringLiteral("nobody"));
    testing::Click(find, "cmdFind");
  });
  // The search is logged once its notice has been answered.
  bool loggedBefore = true;
  g.messages->onAsk = [&](const MessageRequest&) { loggedBefore = std::filesystem::exists(g.folder / "Search.Log"); };
  g.messages->Press(1);
  Click(m, "cmdFindEntries");
  EXPECT_FALSE(loggedBefore);
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("No Matches"));
  EXPECT_EQ(g.messages->Last().lines(),
            (QStringList{QStringLiteral("There were no matches"), QStringLiteral("searching for"), QString(),
                         QStringLiteral("nobody")}));
  EXPECT_EQ(g.messages->Last().buttons, (QStringList{QStringLiteral("&Okay"), QStringLiteral("&Try another search")}));
  EXPECT_TRUE(m->listFlags().FullListShown);
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Active Reports (3) "));
  EXPECT_NE(ReadFileBytes(g.folder / "Search.Log").find("searched for 'nobody'"), std::string::npos);
}

TEST_F(MainWindowTest, AWeeklySummaryAndWhatTheDialogRemembers) {
  Add(Report("in", {2010, 3, 8, 0, 0, 0}));
  Add(Report("out", {2010, 3, 8, 0, 1, 0}));
  Add(Report("other", {2011, 1, 1, 0, 0, 0}));
  frmMain* m = Open();
  g.messages->Press(1);
  testing::WhenModalOpens<frmFind>([](frmFind* find) {
    testing::Activate(find);
    EXPECT_EQ(find->windowTitle(), QStringLiteral(" Kestrova - Search/Summarize Records..."));
    find->findChild<QRadioButton*>(QStringLiteral("optFind17"))->click();
    EXPECT_FALSE(find->findChild<ZelButton*>(QStringLiteral("cmdFind"))->isEnabled());
    EXPECT_FALSE(find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"))->isEnabled());
    auto* picker = find->findChild<QDateEdit*>(QStringLiteral("calPickDate"));
    EXPECT_EQ(picker->minimumDate(), QDate(2000, 1, 1));
    EXPECT_EQ(picker->maximumDate(), QDate(2026, 12, 6)) << "today";
    picker->setDate(QDate(2010, 3, 1));
    testing::DropAndCloseCalendar(find->findChild<DatePicker*>(QStringLiteral("calPickDate")));
    EXPECT_TRUE(find->findChild<ZelButton*>(QStringLiteral("cmdFind"))->isEnabled());
    testing::Click(find, "cmdFind");
  });
  Click(m, "cmdFindEntries");
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Weekly Summary"));
  EXPECT_EQ(g.messages->Last().lines()[2], QStringLiteral("Monday March 1, 2010"));
  EXPECT_EQ(ListOf(m).caption(),
            QStringLiteral("Weekly Summary of reports with a beginning date of 03/01/2010 (1 match) "));
  EXPECT_TRUE(m->listFlags().SummaryActive);
  EXPECT_NE(ReadFileBytes(g.folder / "Search.Log").find("searched for Weekly Summary starting 03/01/2010"),
            std::string::npos);
  Click(m, "cmdSeeAllEntries");

  // After a summary the dialog opens on kind 1 with an empty phrase.
  testing::WhenModalOpens<frmFind>([](frmFind* find) {
    testing::Activate(find);
    EXPECT_EQ(find->SelectedKind(), 1);
    EXPECT_EQ(find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"))->text(), QString());
    EXPECT_TRUE(find->findChild<QCheckBox*>(QStringLiteral("chkCapStatus"))->isChecked());
    find->findChild<QRadioButton*>(QStringLiteral("optFind3"))->click();
    find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"))->setText(QStringLiteral("other"));
    find->findChild<QCheckBox*>(QStringLiteral("chkWholeWordStatus"))->setChecked(true);
    testing::Click(find, "cmdFind");
  });
  Click(m, "cmdFindEntries");
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" Sub-list of reports containing 'other' (1 match) "));
  Click(m, "cmdSeeAllEntries");

  // After a phrase search: the same kind and the old phrase, selected.
  testing::WhenModalOpens<frmFind>([](frmFind* find) {
    testing::Activate(find);
    EXPECT_EQ(find->SelectedKind(), 3);
    auto* phrase = find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"));
    EXPECT_EQ(phrase->text(), QStringLiteral("other"));
    EXPECT_EQ(phrase->selectedText(), QStringLiteral("other"));
    EXPECT_TRUE(find->findChild<QCheckBox*>(QStringLiteral("chkWholeWordStatus"))->isChecked());
    phrase->setText(QStringLiteral("changed"));
    testing::Click(find, "cmdCancel");
  });
  Click(m, "cmdFindEntries");
  EXPECT_TRUE(m->listFlags().FullListShown) << "a cancelled dialog starts no search";
  EXPECT_EQ(g.session->searchCriteria.SearchPhrase, "");
  EXPECT_EQ(g.session->searchCriteria.SearchKind, 3);
}

TEST_F(MainWindowTest, AMonthlySummaryMustBeginOnTheFirst) {
  Add(Report("a", {2010, 3, 8, 0, 0, 0}));
  Add(Report("b", {2010, 3, 9, 0, 0, 0}));  // a list long enough to search
  frmMain* m = Open();
  g.messages->Press(2);
  bool stayedOpen = false;
  testing::WhenModalOpens<frmFind>([&](frmFind* find) {
    testing::Activate(find);
    find->findChild<QRadioButton*>(QStringLiteral("optFind18"))->click();
    find->findChild<QDateEdit*>(QStringLiteral("calPickDate"))->setDate(QDate(2010, 3, 15));
    testing::DropAndCloseCalendar(find->findChild<DatePicker*>(QStringLiteral("calPickDate")));
    testing::Click(find, "cmdFind");
    stayedOpen = find->isVisible();
    testing::Click(find, "cmdCancel");
  });
  Click(m, "cmdFindEntries");
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Invalid Beginning Date Chosen"));
  EXPECT_TRUE(m->listFlags().FullListShown);
}

TEST_F(MainWindowTest, SortAndShowOptionsSurviveARestart) {
  Add(Report("b-late", {2024, 1, 1, 9, 0, 0}));
  Add(Report("a-early", {2023, 1, 1, 9, 0, 0}));
  frmMain* m = Open();
  EXPECT_EQ(ModelOf(m).rows()[0].caseNumber, "a-early");
  Child<QRadioButton>(m, "optSort2")->click();
  Child<QRadioButton>(m, "optShow2")->click();
  EXPECT_EQ(g.settings->Read(QStringLiteral("SortOption")), QStringLiteral("2"));
  EXPECT_EQ(g.settings->Read(QStringLiteral("ShowOption")), QStringLiteral("2"));
  CloseAllWindows(*g.session);
  m = Open();
  EXPECT_TRUE(Child<QRadioButton>(m, "optSort2")->isChecked());
  EXPECT_TRUE(Child<QRadioButton>(m, "optShow2")->isChecked());
  EXPECT_EQ(ModelOf(m).rows()[0].sortKey, "20230101090000");
  EXPECT_EQ(ModelOf(m).rows()[0].rightColumn, "PC a-early");
}

TEST_F(MainWindowTest, TheInactiveListHasItsOwnHeadingAndCommands) {
  Add(Report("a", {2024, 1, 1, 9, 0, 0}));
  reports::ReportRecord archived = Report("b", {2024, 1, 2, 9, 0, 0});
  archived.ListStatus = reports::kInactiveList;
  Add(archived);
  frmMain* m = Open();
  Child<QRadioButton>(m, "optDisplay2")->click();
  EXPECT_EQ(ListOf(m).caption(), QStringLiteral(" All Inactive Reports (1) "));
  EXPECT_TRUE(GridOf(m)->horizontalHeader()->styleSheet().contains(QStringLiteral("rgb(128, 0, 0)")));
  EXPECT_FALSE(Cmd(m, "cmdAddEntry")->isVisible());
  EXPECT_TRUE(Cmd(m, "cmdRestoreEntry")->isVisible());
  EXPECT_FALSE(Cmd(m, "cmdArchiveEntry")->isVisible());
}

}  // namespace
}  // namespace kestrova::gui

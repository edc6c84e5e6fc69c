#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <cmath>

#include "gui/search/date_picker.h"
#include "gui/search/frm_find.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

using testing::Click;
using testing::RightClick;

class SearchDialogTest : public testing::MainWindowFixture {
 protected:
  frmFind* OpenFind() {
    auto* find = new frmFind(*g.session);
    find->setAttribute(Qt::WA_DeleteOnClose);
    find->show();
    find->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(find));
    testing::Activate(find);
    return find;
  }
  template <class T>
  static T* Child(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
  }
  // A click on an option's round button, which is what takes a click.
  static void Choose(frmFind* find, int kind) {
    auto* option = find->findChild<QRadioButton*>(QStringLiteral("optFind%1").arg(kind));
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    ASSERT_TRUE(option->isChecked());
  }
};

TEST_F(SearchDialogTest, EnterInThePhraseStartsTheSearch) {
  frmFind* find = OpenFind();
  auto* phrase = Child<QLineEdit>(find, "txtSearchPhrase");
  phrase->setFocus();
  QTest::keyClick(phrase, Qt::Key_Return);
  EXPECT_TRUE(find->isVisible()) << "nothing to search for yet";
  QTest::keyClicks(phrase, QStringLiteral("burglary"));
  QTest::keyClick(phrase, Qt::Key_Return);
  EXPECT_FALSE(find->isVisible());
  EXPECT_EQ(g.session->searchCriteria.SearchPhrase, "burglary");
}

// WCAG's contrast ratio of two colours.
double Contrast(QColor a, QColor b) {
  const auto lum = [](QColor c) {
    const auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
  };
  const double x = lum(a), y = lum(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

TEST_F(SearchDialogTest, APhraseReportsCannotHoldIsRefusedBeforeAnySearch) {
  for (int day = 1; day <= 3; ++day) Add(testing::Report("24-" + std::to_string(day), day));
  frmMain* main = Open();
  g.messages->Press(1);
  bool stayedOpen = false;
  bool focusInPhrase = false;
  testing::WhenModalOpens<frmFind>([&](frmFind* find) {
    testing::Activate(find);
    auto* phrase = find->findChild<QLineEdit*>(QStringLiteral("txtSearchPhrase"));
    phrase->setText(QStringLiteral("Caf\u00e9 \u0418\u0432\u0430\u043d \U0001F600"));
    find->findChild<ZelButton*>(QStringLiteral("cmdCancel"))->setFocus();
    QTest::mouseClick(find->findChild<ZelButton*>(QStringLiteral("cmdFind")), Qt::LeftButton);
    stayedOpen = find->isVisible();
    focusInPhrase = phrase->hasFocus();
    testing::Click(find, "cmdCancel");
  });
  Click(main, "cmdFindEntries");
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(focusInPhrase);
  ASSERT_EQ(g.messages->asked.size(), 1);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Characters Not Stored"));
  EXPECT_TRUE(g.messages->Last().message.contains(QStringLiteral("\u0418 \u0432 \u0430 \u043d \U0001F600")));
  EXPECT_FALSE(g.messages->Last().message.contains(QStringLiteral("\u00e9"))) << "only what cannot be stored";
  EXPECT_TRUE(main->listFlags().FullListShown) << "no search ran";
  EXPECT_FALSE(std::filesystem::exists(g.folder / "Search.Log")) << "nothing was logged";
}

TEST_F(SearchDialogTest, TheCalendarStartsTodayShowsSixReadableMonthsAndEscapeLeavesFindUsable) {
  frmFind* find = OpenFind();
  auto* picker = Child<DatePicker>(find, "calPickDate");
  auto* cmdFind = Child<ZelButton>(find, "cmdFind");
  EXPECT_EQ(picker->date(), QDate(2026, 12, 6)) << "today, not 01/01/2000";

  // Choosing a summary gives the picker the focus, and its calendar drops down.
  Choose(find, 16);
  ASSERT_TRUE(QTest::qWaitFor([&] { return picker->CalendarShown(); }, 2000));
  MonthsCalendar* calendar = picker->calendar();
  EXPECT_EQ(calendar->firstMonth(), QDate(2026, 7, 1)) << "July to December: nothing after today";
  EXPECT_FALSE(calendar->DayRect(QDate(2026, 12, 6)).isEmpty());
  EXPECT_FALSE(calendar->DayRect(QDate(2026, 7, 1)).isEmpty());
  EXPECT_TRUE(calendar->DayRect(QDate(2026, 6, 30)).isEmpty());
  EXPECT_EQ(calendar->HeadingRect(3).left(), calendar->HeadingRect(0).left()) << "three across, two down";
  EXPECT_GT(calendar->HeadingRect(3).top(), calendar->HeadingRect(0).bottom());

  // Each month's heading is easily read: its lettering stands out from its band.
  const QImage shot = calendar->grab().toImage();
  for (int m = 0; m < MonthsCalendar::kMonths; ++m) {
    const QRect heading = calendar->HeadingRect(m);
    const QColor band = shot.pixelColor(heading.left() + 2, heading.top() + 1);
    double best = 1;
    for (int y = heading.top(); y <= heading.bottom(); ++y) {
      for (int x = heading.left(); x <= heading.right(); ++x)
        best = std::max(best, Contrast(band, shot.pixelColor(x, y)));
    }
    EXPECT_GE(best, 7.0) << "month " << m;
  }

  // Escape closes the calendar for good and leaves Find ready.
  EXPECT_FALSE(cmdFind->isEnabled());
  QTest::keyClick(calendar, Qt::Key_Escape);
  EXPECT_FALSE(picker->CalendarShown());
  EXPECT_TRUE(find->isVisible());
  EXPECT_TRUE(cmdFind->isEnabled());
  QTest::qWait(50);
  EXPECT_FALSE(picker->CalendarShown()) << "the returning focus does not drop it again";
}

TEST_F(SearchDialogTest, ADayIsPickedByMouseOrKeyboardAndTheNextDialogStartsThere) {
  frmFind* find = OpenFind();
  auto* picker = Child<DatePicker>(find, "calPickDate");
  Choose(find, 17);
  ASSERT_TRUE(QTest::qWaitFor([&] { return picker->CalendarShown(); }, 2000));
  MonthsCalendar* calendar = picker->calendar();
  // A page back by a year, then a click on a day.
  QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->BackRect(true).center());
  EXPECT_EQ(calendar->firstMonth(), QDate(2025, 7, 1));
  QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->DayRect(QDate(2025, 9, 15)).center());
  EXPECT_FALSE(picker->CalendarShown());
  EXPECT_EQ(picker->date(), QDate(2025, 9, 15));
  EXPECT_TRUE(Child<ZelButton>(find, "cmdFind")->isEnabled());

  // The keyboard: a month back, two days on, Enter.
  picker->setFocus();
  QTest::keyClick(picker, Qt::Key_F4);
  ASSERT_TRUE(picker->CalendarShown());
  QTest::keyClick(calendar, Qt::Key_PageUp);
  QTest::keyClick(calendar, Qt::Key_Right);
  QTest::keyClick(calendar, Qt::Key_Right);
  QTest::keyClick(calendar, Qt::Key_Return);
  EXPECT_EQ(picker->date(), QDate(2025, 8, 17));
  // Typing does not change the date.
  QTest::keyClicks(picker, QStringLiteral("2"));
  QTest::keyClick(picker, Qt::Key_Up);
  EXPECT_EQ(picker->date(), QDate(2025, 8, 17));
  testing::Click(find, "cmdCancel");

  frmFind* again = OpenFind();
  EXPECT_EQ(Child<DatePicker>(again, "calPickDate")->date(), QDate(2025, 8, 17)) << "the date picked last";
}

TEST_F(SearchDialogTest, AnotherDateIsPickedFromTheCalendarDroppedAgain) {
  frmFind* find = OpenFind();
  auto* picker = Child<DatePicker>(find, "calPickDate");
  Choose(find, 18);
  ASSERT_TRUE(QTest::qWaitFor([&] { return picker->CalendarShown(); }, 2000));
  QTest::mouseClick(picker->calendar(), Qt::LeftButton, {}, picker->calendar()->DayRect(QDate(2026, 11, 15)).center());
  g.messages->Press(1);  // "Select &another date"
  QTest::mouseClick(Child<ZelButton>(find, "cmdFind"), Qt::LeftButton);
  EXPECT_EQ(g.messages->Last().caption, QStringLiteral("Invalid Beginning Date Chosen"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return picker->CalendarShown(); }, 2000));
  EXPECT_TRUE(find->isVisible());
}

}  // namespace
}  // namespace kestrova::gui

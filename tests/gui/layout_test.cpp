// The windows on the screen this process was given (ctest runs it on
// several sizes and scales, and with several desktop fonts): at every size
// from the smallest a window allows, every control can be seen and
// clicked, none lies on another and no caption is cut; a window opens on
// the screen and scrolls only what the screen has no room for.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <iostream>
#include <tuple>

#include "gui/output/frm_large_pic.h"
#include "gui/reports/report_list_panel.h"
#include "gui/search/frm_find.h"
#include "gui/stats/frm_chart.h"
#include "gui/ui/screen_room.h"
#include "gui/users/frm_admin.h"
#include "support/main_window_fixture.h"
#include "support/temp_folder.h"

namespace kestrova::gui {
namespace {

using testing::FormOf;
using testing::GridOf;

using testing::Click;

// What a user sees and clicks. A picture slot's caption is drawn over its
// image by design, so the image is not counted.
bool IsControl(QWidget* w) {
  if (!w->isVisible() || w->objectName().startsWith(QStringLiteral("imgPic"))) return false;
  if (auto* label = qobject_cast<QLabel*>(w)) return !label->text().isEmpty();
  if (auto* view = qobject_cast<QAbstractItemView*>(w)) return !qobject_cast<QAbstractItemView*>(view->parentWidget());
  return qobject_cast<ZelButton*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
         qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTabBar*>(w) || qobject_cast<QGroupBox*>(w);
}

bool CaptionCut(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w))
    return !label->wordWrap() && label->sizeHint().width() > label->width() + 1;
  if (auto* button = qobject_cast<ZelButton*>(w)) {
    const QString caption = button->Caption().remove(QLatin1Char('&')).trimmed();
    return QFontMetrics(button->font()).horizontalAdvance(caption) + 8 > button->width();
  }
  return (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) && w->sizeHint().width() > w->width() + 1;
}

QRect InWindow(QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// Scrolls the control into view (all of it, or from its top left corner
// when it is larger than the view) and says what keeps it from being seen
// and clicked, or nothing.
QString Unreachable(QWidget* window, QScrollArea* scroll, QWidget* c) {
  QRect room = window->rect();
  if (scroll) {
    const QRect at(c->mapTo(scroll->widget(), QPoint(0, 0)), c->size());
    const QSize view = scroll->viewport()->size();
    for (auto [bar, from, to, length] :
         {std::tuple(scroll->horizontalScrollBar(), at.left(), at.right() + 1, view.width()),
          std::tuple(scroll->verticalScrollBar(), at.top(), at.bottom() + 1, view.height())}) {
      if (to > bar->value() + length) bar->setValue(to - length);
      if (from < bar->value()) bar->setValue(from);
    }
    room = QRect(scroll->viewport()->mapTo(window, QPoint(0, 0)), view);
  }
  const QRect at = InWindow(c);
  const QRect seen = at & room;
  if (at.width() <= room.width() && at.height() <= room.height() ? seen != at : seen.isEmpty()) {
    return QStringLiteral("out of sight");
  }
  QWidget* hit = window->childAt(seen.center());
  if (hit == c || c->isAncestorOf(hit)) return {};
  return QStringLiteral("covered by ") + (hit ? hit->objectName() : QStringLiteral("nothing"));
}

void CheckControls(QWidget* window, QScrollArea* scroll, const QString& where) {
  QCoreApplication::processEvents();
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (IsControl(w)) controls << w;
  }
  const auto name = [](QWidget* w) {
    return (w->objectName() + QLatin1Char(' ') + w->property("text").toString()).toStdString();
  };
  for (int i = 0; i < controls.size(); ++i) {
    QWidget* a = controls[i];
    for (QWidget* b : controls.mid(i + 1)) {
      if (!a->isAncestorOf(b) && !b->isAncestorOf(a)) {
        EXPECT_FALSE(InWindow(a).intersects(InWindow(b)))
            << where.toStdString() << ": " << name(a) << " on " << name(b);
      }
    }
    EXPECT_FALSE(CaptionCut(a)) << where.toStdString() << ": cut " << name(a);
    const QString problem = Unreachable(window, scroll, a);
    EXPECT_TRUE(problem.isEmpty()) << where.toStdString() << ": " << name(a) << " " << problem.toStdString();
  }
}

class LayoutTest : public testing::MainWindowFixture {
 protected:
  // The smallest size the window allows, the one it opens at, the whole
  // screen and one between; on every tab.
  void AtEverySize(frmMain* m, QScrollArea* scroll, const QString& mode) {
    const QRect opened = m->geometry();
    for (const QSize& size : {opened.size(), m->minimumSize(), (m->minimumSize() + room_.size()) / 2, room_.size()}) {
      m->setGeometry(QRect(size == room_.size() ? room_.topLeft() : opened.topLeft(), size));
      for (int tab = 0; tab < FormOf(m)->count(); ++tab) {
        FormOf(m)->setCurrentIndex(tab);
        CheckControls(m, scroll,
                      QStringLiteral("%1 at %2x%3, tab %4").arg(mode).arg(m->width()).arg(m->height()).arg(tab));
      }
    }
    m->setGeometry(opened);
  }
  QScreen* screen_ = QGuiApplication::primaryScreen();
  QRect room_ = screen_->availableGeometry();
  // 1280 x 720 logical pixels and more: every window shows whole.
  bool roomy_ = room_.width() >= 1280 && room_.height() >= 720;
};

// What the desktop set does not reach the windows: they are laid out in
// their own face and size.
TEST_F(LayoutTest, TheWindowsUseTheProgramsFontWhateverTheDesktopSet) {
  Add(testing::Report("24-1", 1));
  frmMain* m = Open();
  for (QWidget* w : {static_cast<QWidget*>(m), m->findChild<QWidget*>(QStringLiteral("cmdQuit")),
                     static_cast<QWidget*>(m->findChild<QLabel*>())}) {
    const QFontInfo font(w->font());
    EXPECT_TRUE(font.family() == QStringLiteral("DejaVu Sans") || font.family() == QStringLiteral("Liberation Sans"))
        << w->objectName().toStdString() << ": " << font.family().toStdString();
    EXPECT_EQ(font.pointSize(), 9) << w->objectName().toStdString();
  }
  std::cout << "font " << QFontInfo(m->font()).family().toStdString() << std::endl;
}

TEST_F(LayoutTest, TheMainWindowFitsTheScreenAndEveryControlCanBeReachedInEveryMode) {
  std::cout << "screen " << screen_->geometry().width() << "x" << screen_->geometry().height() << ", scale "
            << screen_->devicePixelRatio() << std::endl;
  for (int i = 1; i <= 30; ++i) Add(testing::Report("24-" + std::to_string(i), 1 + i % 28));
  frmMain* m = Open();
  auto* scroll = m->findChild<QScrollArea*>(QStringLiteral("scrollWindow"));
  ASSERT_NE(scroll, nullptr) << "the window scrolls what does not fit";
  EXPECT_TRUE(room_.contains(m->frameGeometry())) << "it opens on the screen";
  EXPECT_GE(GridOf(m)->viewport()->height() / GridOf(m)->rowHeight(0), ReportListPanel::kRowsShownAtLeast);
  EXPECT_GE(m->height(), std::min(room_.height() - 40, static_cast<int>(screen_->geometry().height() / 1.3)))
      << "it uses the screen it has: a tall screen's room goes to the list";
  const QSize needed = scroll->widget()->minimumSizeHint();
  if (roomy_ || (room_.height() - 40 >= needed.height() && room_.width() - 10 >= needed.width())) {
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0) << "a screen with room for all shows all";
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << "a screen with room for all shows all";
  } else if (room_.width() - 10 >= needed.width() + scroll->verticalScrollBar()->width()) {
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << "what scrolls up and down keeps its width";
  }
  AtEverySize(m, scroll, QStringLiteral("viewing"));
  Click(m, "cmdEditEntry");
  AtEverySize(m, scroll, QStringLiteral("editing"));
  // In the smallest window the keyboard brings each field it enters into view.
  const QRect opened = m->geometry();
  m->resize(m->minimumSize());
  for (int n : {1, 13, 31, 43, 45}) {
    FormOf(m)->FocusField(n);
    QCoreApplication::processEvents();
    const QWidget* field = FormOf(m)->field(n);
    EXPECT_TRUE(scroll->viewport()->rect().intersects({field->mapTo(scroll->viewport(), QPoint()), field->size()}))
        << n;
  }
  m->setGeometry(opened);
  Click(m, "cmdEditCancel");
  Click(m, "cmdAddEntry");
  EXPECT_TRUE(room_.contains(m->frameGeometry())) << "the shrunken window stays on the screen";
  AtEverySize(m, scroll, QStringLiteral("adding"));
  Click(m, "cmdAddCancel");
}

TEST_F(LayoutTest, TheAdministrativeWindowAndTheSearchDialogFitTheScreen) {
  frmAdmin* admin = g.flow->OpenAdministrativeWindow();
  g.messages->Press(1);  // "'User List' empty"
  testing::Activate(admin);
  EXPECT_TRUE(room_.contains(admin->frameGeometry()));
  CheckControls(admin, nullptr, QStringLiteral("administrative window"));
  frmFind find(*g.session, admin);
  find.show();
  EXPECT_TRUE(room_.contains(find.frameGeometry()));
  CheckControls(&find, nullptr, QStringLiteral("search dialog"));
}

TEST_F(LayoutTest, TheChartWindowOpensOnTheScreenWithEveryControlInReach) {
  for (int i = 1; i <= 5; ++i) Add(testing::Report("24-" + std::to_string(i), i));
  frmMain* m = Open();
  ChartSubject subject;
  subject.listName = QStringLiteral("All Active Reports");
  frmChart* chart = g.flow->OpenChartWindow(m, subject);
  ASSERT_TRUE(QTest::qWaitFor([chart] { return !chart->counting(); }, 10000));
  EXPECT_TRUE(room_.contains(chart->frameGeometry()))
      << chart->width() << "x" << chart->height() << " on " << room_.width() << "x" << room_.height();
  CheckControls(chart, nullptr, QStringLiteral("chart window"));
}

TEST_F(LayoutTest, AnEnlargedPictureOpensOnTheScreenWithBothButtons) {
  testing::TempFolder pictures;
  for (const QSize natural : {QSize(300, 400), QSize(1600, 900)}) {
    const QString path = QString::fromStdString((pictures / "p.png").string());
    QImage image(natural, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(path));
    frmLargePic window(*g.session, {.slot = 1,
                                    .path = path,
                                    .caption = QStringLiteral("Picture"),
                                    .caseNumber = "24-1",
                                    .width = natural.width(),
                                    .height = natural.height()});
    window.show();
    // With room for a title bar, which the offscreen screen does not draw.
    EXPECT_LE(window.height() + kFrameRoomHeight, room_.height()) << window.width() << "x" << window.height();
    EXPECT_LE(window.width() + kFrameRoomWidth, room_.width());
    CheckControls(&window, nullptr,
                  QStringLiteral("enlarged picture %1x%2").arg(natural.width()).arg(natural.height()));
  }
}

}  // namespace
}  // namespace kestrova::gui

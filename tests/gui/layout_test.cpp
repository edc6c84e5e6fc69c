// Every window on the screen this process was given (ctest runs it on
// several): every control can be seen and clicked, none lies on another,
// and no caption is cut, at every size from the smallest the window allows.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <iostream>

#include "gui/reports/report_list_panel.h"
#include "gui/search/frm_find.h"
#include "gui/startup/frm_title_page.h"
#include "gui/users/frm_admin.h"
#include "support/main_window_fixture.h"

namespace kestrova::gui {
namespace {

using testing::Click;
using testing::Report;

QString Name(const QWidget* w) {
  QString name = w->objectName();
  if (name.isEmpty()) name = QString::fromLatin1(w->metaObject()->className());
  if (const auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty()) {
    name += QStringLiteral(" \"") + l->text() + QLatin1Char('"');
  }
  return name;
}

// What a user sees and clicks: buttons, fields, lists, tabs, frames and
// their captions. Pictures are not: a slot's caption is drawn over its
// image by design.
bool IsControl(QWidget* w) {
  if (!w->isVisible() || w->objectName().startsWith(QStringLiteral("imgPic"))) return false;
  if (qobject_cast<ZelButton*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
      qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTabBar*>(w) || qobject_cast<QGroupBox*>(w)) {
    return true;
  }
  if (auto* view = qobject_cast<QAbstractItemView*>(w)) return !qobject_cast<QAbstractItemView*>(view->parentWidget());
  if (auto* label = qobject_cast<QLabel*>(w)) return !label->text().isEmpty();
  return false;
}

// A caption shorter than it needs is cut.
bool CaptionCut(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) {
    return !label->wordWrap() && label->sizeHint().width() > label->width() + 1;
  }
  if (auto* button = qobject_cast<ZelButton*>(w)) {
    QString caption = button->Caption();
    caption.remove(QLatin1Char('&'));
    return QFontMetrics(button->font()).horizontalAdvance(caption.trimmed()) + 8 > button->width();
  }
  if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) return w->sizeHint().width() > w->width() + 1;
  return false;
}

// Scrolls the window's area so that the whole control is in view, or as
// much of it as the view holds from its top left corner.
void ScrollTo(QScrollArea* scroll, QWidget* c) {
  const QRect at(c->mapTo(scroll->widget(), QPoint(0, 0)), c->size());
  const QSize view = scroll->viewport()->size();
  const auto bring = [](QScrollBar* bar, int from, int to, int length) {
    if (to > bar->value() + length) bar->setValue(to - length);
    if (from < bar->value()) bar->setValue(from);
  };
  bring(scroll->horizontalScrollBar(), at.left(), at.right() + 1, view.width());
  bring(scroll->verticalScrollBar(), at.top(), at.bottom() + 1, view.height());
}

QRect InWindow(QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// Brings the control into view (scrolling the window when it scrolls) and
// says what keeps it from being seen whole and clicked, or nothing.
QString Unreachable(QWidget* window, QScrollArea* scroll, QWidget* c) {
  QRect room = window->rect();
  if (scroll) {
    ScrollTo(scroll, c);
    room = QRect(scroll->viewport()->mapTo(window, QPoint(0, 0)), scroll->viewport()->size());
  }
  const QRect at = InWindow(c);
  // A frame larger than the view is seen a part at a time (its controls
  // are checked one by one).
  const bool fitsRoom = at.width() <= room.width() && at.height() <= room.height();
  const QRect seen = at & room;
  if (fitsRoom ? !room.contains(at) : seen.isEmpty()) {
    return QStringLiteral("out of sight at (%1,%2 %3x%4)").arg(at.x()).arg(at.y()).arg(at.width()).arg(at.height());
  }
  QWidget* hit = window->childAt(seen.center());
  if (hit != c && !c->isAncestorOf(hit))
    return QStringLiteral("covered by ") + (hit ? Name(hit) : QStringLiteral("nothing"));
  return {};
}

// Checks the window as it is shown now; `where` names the moment.
void CheckControls(QWidget* window, QScrollArea* scroll, const QString& where) {
  QCoreApplication::processEvents();
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (IsControl(w)) controls << w;
  }
  ASSERT_FALSE(controls.isEmpty());
  for (int i = 0; i < controls.size(); ++i) {
    for (int j = i + 1; j < controls.size(); ++j) {
      QWidget* a = controls[i];
      QWidget* b = controls[j];
      if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
      EXPECT_FALSE(InWindow(a).intersects(InWindow(b)))
          << where.toStdString() << ": " << Name(a).toStdString() << " overlaps " << Name(b).toStdString();
    }
    EXPECT_FALSE(CaptionCut(controls[i]))
        << where.toStdString() << ": the caption of " << Name(controls[i]).toStdString() << " is cut";
  }
  for (QWidget* c : controls) {
    const QString problem = Unreachable(window, scroll, c);
    EXPECT_TRUE(problem.isEmpty()) << where.toStdString() << ": " << Name(c).toStdString() << " "
                                   << problem.toStdString();
  }
  if (scroll) {
    scroll->horizontalScrollBar()->setValue(0);
    scroll->verticalScrollBar()->setValue(0);
  }
}

class LayoutTest : public testing::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    screen_ = QGuiApplication::primaryScreen();
    ASSERT_NE(screen_, nullptr);
    room_ = screen_->availableGeometry();
    std::cout << "screen " << screen_->geometry().width() << "x" << screen_->geometry().height() << " (scale "
              << screen_->devicePixelRatio() << ")" << std::endl;
  }
  // The window on display at the sizes a user can give it: the smallest it
  // allows, the one it opens at, the whole screen and one between.
  void AtEverySize(QWidget* window, QScrollArea* scroll, const QString& mode, const std::function<void()>& onEach) {
    const QSize opened = window->size();
    const QPoint at = window->pos();
    const QSize smallest = window->minimumSize();
    const QSize screen = room_.size();
    for (const QSize& size : {opened, smallest, (smallest + screen) / 2, screen}) {
      window->resize(size);
      if (size == screen) window->move(room_.topLeft());
      const QString where = QStringLiteral("%1 at %2x%3").arg(mode).arg(window->width()).arg(window->height());
      onEach();
      for (int tab = 0; tab < main_->form()->count(); ++tab) {
        if (!main_->form()->isVisible()) break;
        main_->form()->setCurrentIndex(tab);
        CheckControls(window, scroll, where + QStringLiteral(", tab %1").arg(tab));
      }
    }
    window->resize(opened);
    window->move(at);
  }
  QScreen* screen_ = nullptr;
  QRect room_;
  frmMain* main_ = nullptr;
};

TEST_F(LayoutTest, TheMainWindowFitsTheScreenAndEveryControlCanBeReachedInEveryMode) {
  for (int i = 1; i <= 30; ++i) Add(Report("24-" + std::to_string(i), 1 + i % 28));
  main_ = Open();
  auto* scroll = main_->findChild<QScrollArea*>(QStringLiteral("scrollWindow"));
  ASSERT_NE(scroll, nullptr) << "the window scrolls what does not fit";
  EXPECT_TRUE(room_.contains(main_->frameGeometry())) << "it opens on the screen";
  const auto* grid = main_->grid();
  const int rows = grid->viewport()->height() / grid->rowHeight(0);
  EXPECT_GE(rows, ReportListPanel::kRowsShownAtLeast) << "the list keeps its rows";
  if (room_.height() - 40 >= scroll->widget()->minimumSizeHint().height()) {
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0) << "a screen with room for all shows all";
  }
  EXPECT_GE(main_->height(), std::min(room_.height() - 40, static_cast<int>(screen_->geometry().height() / 1.3)))
      << "it uses the screen it has: a tall screen's room goes to the list";

  AtEverySize(main_, scroll, QStringLiteral("viewing"), [] {});
  Click(main_, "cmdEditEntry");
  ASSERT_TRUE(main_->editing());
  AtEverySize(main_, scroll, QStringLiteral("editing"), [] {});
  // In the smallest window the keyboard brings each field it enters into view.
  const QSize opened = main_->size();
  main_->resize(main_->minimumSize());
  for (int n : {1, 13, 31, 43, 45}) {
    main_->form()->FocusField(n);
    QCoreApplication::processEvents();
    QWidget* field = main_->form()->field(n);
    const QRect at(field->mapTo(scroll->viewport(), QPoint(0, 0)), field->size());
    EXPECT_TRUE(scroll->viewport()->rect().intersects(at)) << "field " << n << " entered out of sight";
  }
  main_->resize(opened);
  Click(main_, "cmdEditCancel");
  Click(main_, "cmdAddEntry");
  ASSERT_TRUE(main_->adding());
  EXPECT_TRUE(room_.contains(main_->frameGeometry())) << "the shrunken window stays on the screen";
  AtEverySize(main_, scroll, QStringLiteral("adding"), [] {});
  Click(main_, "cmdAddCancel");
}

TEST_F(LayoutTest, TheOtherWindowsFitTheScreen) {
  auto* title = new frmTitlePage(*g.session);
  title->show();
  EXPECT_TRUE(room_.contains(title->frameGeometry()));
  title->Form_Activate();
  CheckControls(title, nullptr, QStringLiteral("title window"));
  title->CloseByProgram();
  frmAdmin* admin = g.session->flow().OpenAdministrativeWindow();
  g.messages->Press(1);  // "'User List' empty"
  admin->Form_Activate();
  EXPECT_TRUE(room_.contains(admin->frameGeometry()));
  CheckControls(admin, nullptr, QStringLiteral("administrative window"));
  frmFind find(*g.session, admin);
  find.show();
  find.Form_Activate();
  EXPECT_TRUE(room_.contains(find.frameGeometry()));
  CheckControls(&find, nullptr, QStringLiteral("search dialog"));
}

}  // namespace
}  // namespace kestrova::gui

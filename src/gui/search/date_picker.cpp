#include "gui/search/date_picker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace kestrova::gui {
namespace {

const QColor kFace(224, 255, 224);    // light green, as the calendar always was
const QColor kHeadingBack(0, 96, 0);  // dark green under white: easily read
const QColor kHeadingText(255, 255, 255);
const QColor kDayNames(0, 80, 0);
const QColor kDayText(0, 0, 0);
const QColor kOutOfRange(150, 160, 150);
constexpr int kMargin = 6;
constexpr int kGap = 10;
constexpr int kArrowWidth = 20;

QDate MonthOf(QDate d) { return QDate(d.year(), d.month(), 1); }

}  // namespace

MonthsCalendar::MonthsCalendar(QWidget* parent) : QWidget(parent, Qt::Popup) {
  setObjectName(QStringLiteral("calPickDateCalendar"));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_DeleteOnClose, false);
  Layout();
}

void MonthsCalendar::Layout() {
  const QFontMetrics fm(font());
  cellWidth_ = std::max(fm.horizontalAdvance(QStringLiteral("00")), fm.horizontalAdvance(QStringLiteral("Wd"))) + 10;
  cellHeight_ = fm.height() + 6;
  headingHeight_ = fm.height() + 10;
  blockWidth_ = 7 * cellWidth_;
  blockHeight_ = headingHeight_ + 7 * cellHeight_ + 4;
  setFixedSize(2 * kMargin + kAcross * blockWidth_ + (kAcross - 1) * kGap,
               2 * kMargin + kDown * blockHeight_ + (kDown - 1) * kGap);
}

QPoint MonthsCalendar::BlockOrigin(int month) const {
  const int across = month % kAcross;
  const int down = month / kAcross;
  return {kMargin + across * (blockWidth_ + kGap), kMargin + down * (blockHeight_ + kGap)};
}

QRect MonthsCalendar::HeadingRect(int month) const { return {BlockOrigin(month), QSize(blockWidth_, headingHeight_)}; }

QRect MonthsCalendar::BackRect(bool year) const {
  const QRect h = HeadingRect(0);
  return {h.left() + (year ? 0 : kArrowWidth), h.top(), kArrowWidth, h.height()};
}

QRect MonthsCalendar::OnRect(bool year) const {
  const QRect h = HeadingRect(kAcross - 1);
  return {h.right() + 1 - (year ? kArrowWidth : 2 * kArrowWidth), h.top(), kArrowWidth, h.height()};
}

QRect MonthsCalendar::DayRect(QDate day) const {
  if (!day.isValid() || !first_.isValid()) return {};
  const int month = (day.year() - first_.year()) * 12 + day.month() - first_.month();
  if (month < 0 || month >= kMonths) return {};
  // Weeks start on Sunday; the first row holds the first of the month.
  const int lead = QDate(day.year(), day.month(), 1).dayOfWeek() % 7;
  const int index = lead + day.day() - 1;
  const QPoint o = BlockOrigin(month);
  return {o.x() + (index % 7) * cellWidth_, o.y() + headingHeight_ + (1 + index / 7) * cellHeight_, cellWidth_,
          cellHeight_};
}

void MonthsCalendar::Open(QDate current, QDate minimum, QDate maximum, QWidget* anchor) {
  minimum_ = minimum;
  maximum_ = maximum;
  current_ = std::clamp(current, minimum, maximum);
  Layout();
  // The month of the date shown leads, unless that would show months past
  // the latest selectable one.
  ShowFrom(MonthOf(current_));
  QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height()));
  if (const QScreen* screen = anchor->screen()) {
    const QRect room = screen->availableGeometry();
    if (at.y() + height() > room.bottom()) at.setY(anchor->mapToGlobal(QPoint(0, 0)).y() - height());
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
    at.setY(std::max(at.y(), room.top()));
  }
  move(at);
  show();
  setFocus(Qt::PopupFocusReason);
}

void MonthsCalendar::ShowFrom(QDate first) {
  const QDate latest = MonthOf(maximum_).addMonths(1 - kMonths);
  first = std::min(MonthOf(first), latest);
  first = std::max(first, MonthOf(minimum_));
  first_ = first;
  update();
}

void MonthsCalendar::MoveTo(QDate day) {
  day = std::clamp(day, minimum_, maximum_);
  current_ = day;
  if (DayRect(day).isEmpty()) {
    ShowFrom(day < first_ ? MonthOf(day) : MonthOf(day).addMonths(1 - kMonths));
  }
  update();
}

void MonthsCalendar::Pick(QDate day) {
  if (!Selectable(day)) return;
  current_ = day;
  emit Picked(day);
  hide();
}

void MonthsCalendar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), kFace);
  p.setPen(kHeadingBack);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  QFont bold = font();
  bold.setBold(true);
  const QLocale here = locale();
  for (int m = 0; m < kMonths; ++m) {
    const QDate month = first_.addMonths(m);
    const QRect heading = HeadingRect(m);
    p.fillRect(heading, kHeadingBack);
    p.setPen(kHeadingText);
    p.setFont(bold);
    p.drawText(heading, Qt::AlignCenter,
               here.monthName(month.month()) + QLatin1Char(' ') + QString::number(month.year()));
    const QPoint o = BlockOrigin(m);
    p.setFont(font());
    p.setPen(kDayNames);
    for (int d = 0; d < 7; ++d) {
      // Sunday first.
      const QString name = here.dayName(d == 0 ? 7 : d, QLocale::ShortFormat).left(2);
      p.drawText(QRect(o.x() + d * cellWidth_, o.y() + headingHeight_, cellWidth_, cellHeight_), Qt::AlignCenter, name);
    }
    for (QDate day = month; day.month() == month.month(); day = day.addDays(1)) {
      const QRect cell = DayRect(day);
      if (day == current_) {
        p.fillRect(cell.adjusted(1, 1, -1, -1), kHeadingBack);
        p.setPen(kHeadingText);
      } else {
        p.setPen(Selectable(day) ? kDayText : kOutOfRange);
      }
      p.drawText(cell, Qt::AlignCenter, QString::number(day.day()));
    }
  }
  // Paging arrows in the outer headings.
  p.setPen(kHeadingText);
  p.setFont(bold);
  p.drawText(BackRect(true), Qt::AlignCenter, QStringLiteral("\u00AB"));
  p.drawText(BackRect(false), Qt::AlignCenter, QStringLiteral("\u2039"));
  p.drawText(OnRect(false), Qt::AlignCenter, QStringLiteral("\u203A"));
  p.drawText(OnRect(true), Qt::AlignCenter, QStringLiteral("\u00BB"));
}

void MonthsCalendar::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  if (e->button() != Qt::LeftButton) return;
  if (BackRect(true).contains(at)) return ShowFrom(first_.addMonths(-12));
  if (BackRect(false).contains(at)) return ShowFrom(first_.addMonths(-1));
  if (OnRect(false).contains(at)) return ShowFrom(first_.addMonths(1));
  if (OnRect(true).contains(at)) return ShowFrom(first_.addMonths(12));
  for (int m = 0; m < kMonths; ++m) {
    const QDate month = first_.addMonths(m);
    for (QDate day = month; day.month() == month.month(); day = day.addDays(1)) {
      if (DayRect(day).contains(at)) return Pick(day);
    }
  }
}

void MonthsCalendar::keyPressEvent(QKeyEvent* e) {
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  switch (e->key()) {
    case Qt::Key_Left: MoveTo(current_.addDays(-1)); break;
    case Qt::Key_Right: MoveTo(current_.addDays(1)); break;
    case Qt::Key_Up:
      if (e->modifiers() & Qt::AltModifier) {
        hide();
      } else {
        MoveTo(current_.addDays(-7));
      }
      break;
    case Qt::Key_Down: MoveTo(current_.addDays(7)); break;
    case Qt::Key_PageUp: MoveTo(current_.addMonths(ctrl ? -12 : -1)); break;
    case Qt::Key_PageDown: MoveTo(current_.addMonths(ctrl ? 12 : 1)); break;
    case Qt::Key_Home: MoveTo(QDate(current_.year(), current_.month(), 1)); break;
    case Qt::Key_End: MoveTo(QDate(current_.year(), current_.month(), current_.daysInMonth())); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: Pick(current_); break;
    case Qt::Key_Escape:
    case Qt::Key_F4: hide(); break;
    default: e->ignore(); return;
  }
  e->accept();
}

void MonthsCalendar::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  emit Closed();
}

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
  // The drop-down look; the drop-down itself is ours.
  setCalendarPopup(true);
  calendar_ = new MonthsCalendar(this);
  lineEdit()->installEventFilter(this);
  connect(calendar_, &MonthsCalendar::Picked, this, [this](QDate day) { setDate(day); });
  connect(calendar_, &MonthsCalendar::Closed, this, &DatePicker::CloseUp);
}

void DatePicker::ShowCalendar() {
  if (!isEnabled() || CalendarShown()) return;
  calendar_->Open(date(), minimumDate(), maximumDate(), this);
}

bool DatePicker::CalendarShown() const { return calendar_->isVisible(); }

bool DatePicker::HandleKey(QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_F4 || (key == Qt::Key_Down && (e->modifiers() & Qt::AltModifier))) {
    ShowCalendar();
    return true;
  }
  // Focus moves, and Escape and Enter belong to the dialog's buttons.
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape || key == Qt::Key_Return ||
      key == Qt::Key_Enter) {
    return false;
  }
  // Anything else would type or step the date: it is picked, not typed.
  return true;
}

bool DatePicker::eventFilter(QObject* watched, QEvent* e) {
  if (watched == lineEdit()) {
    if (e->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(e))) return true;
    if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
        isEnabled()) {
      setFocus(Qt::MouseFocusReason);
      ShowCalendar();
      return true;
    }
  }
  return QDateEdit::eventFilter(watched, e);
}

void DatePicker::keyPressEvent(QKeyEvent* e) {
  if (HandleKey(e)) {
    e->accept();
    return;
  }
  e->ignore();
}

void DatePicker::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return QDateEdit::mousePressEvent(e);
  e->accept();
  setFocus(Qt::MouseFocusReason);
  ShowCalendar();
}

void DatePicker::wheelEvent(QWheelEvent* e) { e->ignore(); }

}  // namespace kestrova::gui

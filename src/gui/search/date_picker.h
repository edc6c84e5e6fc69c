#pragma once

#include <QDate>
#include <QDateEdit>
#include <QRect>
#include <QWidget>

namespace kestrova::gui {

// The drop-down calendar of the search dialog's date picker: six months,
// three across and two down, in light green. A click or Enter picks a day;
// Escape or a click elsewhere closes it and keeps the date shown.
class MonthsCalendar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kAcross = 3;
  static constexpr int kDown = 2;
  static constexpr int kMonths = kAcross * kDown;

  explicit MonthsCalendar(QWidget* parent = nullptr);

  // Shows the months around `current` (within the range) below `anchor`.
  void Open(QDate current, QDate minimum, QDate maximum, QWidget* anchor);

  QDate currentDate() const { return current_; }
  // The first day of the month shown top left.
  QDate firstMonth() const { return first_; }
  // Where things are drawn, for the pointer (and for tests): a day (empty
  // when its month is not shown), the heading of month i (0-5), and the
  // arrows that page back or on by a month or a year.
  QRect DayRect(QDate day) const;
  QRect HeadingRect(int month) const;
  QRect BackRect(bool year) const;
  QRect OnRect(bool year) const;

 signals:
  void Picked(QDate date);
  void Closed();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void Layout();
  QPoint BlockOrigin(int month) const;
  // Pages so that the first month is `first`, within the range.
  void ShowFrom(QDate first);
  void MoveTo(QDate day);
  void Pick(QDate day);
  bool Selectable(QDate day) const { return day.isValid() && day >= minimum_ && day <= maximum_; }

  QDate current_;
  QDate first_;
  QDate minimum_;
  QDate maximum_;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  int headingHeight_ = 0;
  int blockWidth_ = 0;
  int blockHeight_ = 0;
};

// The search dialog's date picker: a date locked against typing, picked
// from its calendar, which drops down on F4, Alt+Down or a click.
class DatePicker : public QDateEdit {
  Q_OBJECT

 public:
  explicit DatePicker(QWidget* parent = nullptr);

  void ShowCalendar();
  bool CalendarShown() const;
  MonthsCalendar* calendar() const { return calendar_; }

 signals:
  // The calendar closed, however it was closed.
  void CloseUp();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  // True when the key was the picker's to handle.
  bool HandleKey(QKeyEvent* e);

  MonthsCalendar* calendar_ = nullptr;
};

}  // namespace kestrova::gui

#include "gui/reports/report_form.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolTip>

#include "core/reports/report_display.h"
#include "core/text/fixed_text.h"
#include "core/text/line_breaks.h"
#include "core/time/date_format.h"
#include "core/time/date_parse.h"
#include "gui/reports/form_field.h"
#include "gui/reports/picture_slots.h"
#include "gui/reports/report_form_pages.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/session/text_limits.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

const QColor kDisplayBack(192, 255, 255);  // &H00FFFFC0
const QColor kTeal(0, 128, 128);           // &H00808000
const QColor kFocusBack(255, 255, 192);    // &H00C0FFFF
const QColor kFocusText(0, 0, 192);        // &H00C00000
const QString kRedHeading = QStringLiteral("color: rgb(192, 0, 0);");

QString Shown(const std::string& stored) { return QString::fromStdString(text::ToShownLineBreaks(stored)); }

bool IsLongText(int n) { return n == 44 || n == 45; }

// Focus that goes away with a pop-up menu or another window, and comes back
// with it, is not the user leaving or entering the field.
bool ComesAndGoesWithAnotherWindow(const QEvent* e) {
  const Qt::FocusReason reason = static_cast<const QFocusEvent*>(e)->reason();
  return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

}  // namespace

ReportForm::ReportForm(Session& session, QWidget* parent)
    : QTabWidget(parent), session_(session), dataFolder_(session.folder().path()) {
  setObjectName(QStringLiteral("MainTab"));
  FormPages built = BuildFormPages(*this, session_);
  fields_ = built.fields;
  headings_ = built.headings;
  lblSpaceFull44_ = built.spaceFull44;
  lblSpaceFull45_ = built.spaceFull45;
  pictures_ = new PictureSlots(session_, built.photos);

  // Field 0: white on teal, centred; never edited.
  auto* control = static_cast<QLineEdit*>(fields_[0]);
  control->setReadOnly(true);
  control->setFocusPolicy(Qt::NoFocus);
  control->setAlignment(Qt::AlignCenter);
  form_field::Paint(control, kTeal, Qt::white);
  for (int n = 0; n < reports::kFieldCount; ++n) {
    QWidget* w = field(n);
    w->installEventFilter(this);
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
      line->setMouseTracking(true);
      connect(line, &QLineEdit::textChanged, this, [this, n] { txtField_Change(n); });
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
      box->viewport()->installEventFilter(this);
      // The box holds at most its member's width, line breaks counted as stored.
      LimitBoxLength(session_, box, reports::FieldMaxLength(n),
                     [n] { return QString::fromStdString(reports::FieldName(n)); });
      connect(box, &QPlainTextEdit::textChanged, this, [this, n] { txtField_Change(n); });
    }
  }
  setCurrentIndex(0);
  connect(this, &QTabWidget::currentChanged, this, &ReportForm::MainTab_Click);
  ShowReport(std::nullopt);
}

int ReportForm::FieldIndex(QObject* w) const {
  for (int n = 0; n < reports::kFieldCount; ++n) {
    QWidget* f = field(n);
    if (f == w) return n;
    if (auto* box = qobject_cast<QPlainTextEdit*>(f); box && box->viewport() == w) return n;
  }
  return -1;
}

reports::FieldTexts46 ReportForm::Texts() const {
  reports::FieldTexts46 t;
  for (int n = 0; n < reports::kFieldCount; ++n) {
    const std::string text = fieldText(n).toStdString();
    t[static_cast<std::size_t>(n)] = IsLongText(n) ? text::ToStoredLineBreaks(text) : text;
  }
  return t;
}

void ReportForm::SetFieldText(int n, const QString& text) { form_field::SetText(field(n), text); }

bool ReportForm::CheckEntries() {
  reports::FieldTexts46 texts = Texts();
  reports::EntryCheck check = reports::GoodData(texts, session_.clock().Now().year);
  // Trimmed texts and "0" for empty values go back into the form either way.
  SetTexts(texts);
  // Nothing is saved that the data file would change: a character it cannot
  // hold would come back as "?".
  if (check.ok) check = reports::StorableText(texts);
  if (check.ok) return true;
  QApplication::processEvents();
  QStringList lines;
  for (const auto& line : check.lines) lines << QString::fromStdString(line);
  ShowNotice(session_, window(), QString::fromStdString(check.caption), lines.join(QLatin1Char('\n')), kIconError);
  setCurrentIndex(check.tab);
  currentField_ = check.field;
  FocusField(check.field);
  return false;
}

void ReportForm::SetTexts(const reports::FieldTexts46& texts) {
  for (int n = 1; n < reports::kFieldCount; ++n) SetFieldText(n, Shown(texts[static_cast<std::size_t>(n)]));
}

void ReportForm::FocusField(int n) {
  if (n < 1 || n >= reports::kFieldCount) return;
  const int tab = reports::FieldTab(n);
  if (currentIndex() != tab) setCurrentIndex(tab);
  field(n)->setFocus();
}

void ReportForm::BeginAdding(bool fromTemplate) {
  UnlockForAdding(fromTemplate);
  editing_ = true;
  ShowControlNumber(false);
  pictures_->BeginAdding();
}

void ReportForm::BeginEditing(const reports::ReportRecord& shown) {
  UnlockForEditing();
  editing_ = true;
  pictures_->BeginEditing(shown);
}

void ReportForm::EndWriting() {
  editing_ = false;
  MarkMandatory(false);
  ShowControlNumber(true);
  pictures_->EndWriting();
}

void ReportForm::UnlockForAdding(bool fromTemplate) {
  for (int n = 1; n < reports::kFieldCount; ++n) {
    remembered_[static_cast<std::size_t>(n)] = fromTemplate ? fieldText(n) : QString();
    // Emptied while still locked, so the change leaves the remembered text.
    filling_ = true;
    SetFieldText(n, QString());
    filling_ = false;
  }
  Unlock();
}

void ReportForm::UnlockForEditing() {
  // An emptied field brings back what it held in this report, never a text
  // remembered from another one.
  for (int n = 1; n < reports::kFieldCount; ++n) remembered_[static_cast<std::size_t>(n)] = fieldText(n);
  Unlock();
}

void ReportForm::Unlock() {
  unlocked_ = true;
  enteredField_ = 0;
  for (int n = 1; n < reports::kFieldCount; ++n) {
    form_field::SetReadOnly(field(n), false);
    field(n)->setFocusPolicy(Qt::StrongFocus);
  }
  MarkMandatory(true);
}

void ReportForm::MarkMandatory(bool on) {
  for (const reports::FieldFact& f : reports::kFields) {
    if (f.mandatory) heading(f.number)->setStyleSheet(on ? kRedHeading : QString());
  }
  if (auto* notice = findChild<QLabel*>(QStringLiteral("lblMinimumEntryNotice"))) notice->setVisible(on);
}

void ReportForm::ShowControlNumber(bool shown) {
  field(0)->setVisible(shown);
  heading(0)->setVisible(shown);
}

void ReportForm::txtField_GotFocus(int n) {
  if (!unlocked_ || n < 1) return;
  currentField_ = n;
  enteredField_ = n;
  // Judged before a remembered text comes back: a template add's field 9
  // still takes its default.
  const bool enteredEmpty = fieldText(n).isEmpty();
  if (enteredEmpty && !remembered_[static_cast<std::size_t>(n)].isEmpty()) {
    SetFieldText(n, remembered_[static_cast<std::size_t>(n)]);
  }
  form_field::Paint(field(n), kFocusBack, kFocusText);
  if (auto* line = qobject_cast<QLineEdit*>(field(n))) {
    // After the click that brought the focus has placed the caret; not when
    // the focus has already moved on (the selection would stay drawn).
    QTimer::singleShot(0, line, [line] {
      if (line->hasFocus()) line->selectAll();
    });
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(field(n))) {
    box->selectAll();
  }
  form_field::SetHeadingBold(heading(n), true);
  if (n == 5 && fieldText(5).isEmpty()) {
    SetFieldText(5, QString::fromStdString(time::FormatDateTime(session_.clock().Now(), time::kDateTimeFormat)));
  }
  // Field 9 takes field 7's (or 6's) date only as a default: a date it
  // already holds is the report's own and is kept.
  if (n == 9 && enteredEmpty) {
    if (const auto copy = reports::ReportedOnDefault(fieldText(6).toStdString(), fieldText(7).toStdString(),
                                                     session_.clock().Now().year)) {
      SetFieldText(9, QString::fromStdString(*copy));
    }
  }
  if (reports::IsContextField(n)) {
    if (fieldText(n).isEmpty()) {
      QTimer::singleShot(0, this, [this] { ShowContextMenu(); });
    } else {
      heading(n)->setText(QStringLiteral("Double-click for Menu"));
    }
  }
}

void ReportForm::txtField_LostFocus(int n) {
  if (!unlocked_ || n < 1) return;
  if (n == enteredField_) enteredField_ = 0;
  // Blanks only: tabs and line breaks are the user's.
  const std::string text = fieldText(n).toStdString();
  const std::string_view trimmed = text::Trim(text);
  if (trimmed.size() != text.size()) SetFieldText(n, QString::fromStdString(std::string(trimmed)));
  if (auto* line = qobject_cast<QLineEdit*>(field(n))) line->deselect();
  form_field::Paint(field(n), kDisplayBack, Qt::black);
  form_field::SetHeadingBold(heading(n), false);
  if (reports::IsContextField(n)) heading(n)->setText(QStringLiteral("Context"));
  if (n == 44 || n == 45) spaceFull(n)->hide();
}

void ReportForm::txtField_Change(int n) {
  if (unlocked_ && !filling_ && n >= 1) {
    remembered_[static_cast<std::size_t>(n)] = fieldText(n);
    emit FieldChanged();
  }
  if (n == 44 || n == 45) {
    const QString text = fieldText(n);
    QLabel* full = spaceFull(n);
    full->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
      full->setText(QString::fromStdString(reports::SpaceFullCaption(
          static_cast<std::size_t>(StoredLength(text)), static_cast<std::size_t>(reports::FieldMaxLength(n)))));
    }
  }
}

void ReportForm::ShowContextMenu() {
  const auto list = reports::PickListFor(currentField_);
  if (!list) return;
  QWidget* window = this->window();
  const QPoint at = form_field::PickListPlace(currentField_, window->size());
  int k = 0;
  if (chooser_) {
    k = chooser_(*list, at);
  } else {
    k = form_field::ChooseFromMenu(this, *list, window->mapToGlobal(at));
  }
  if (k >= 1) ChoosePickItem(k);
}

void ReportForm::ChoosePickItem(int k) {
  const auto list = reports::PickListFor(currentField_);
  if (!list) return;
  const reports::PickResult result = reports::ChoosePickItem(*list, k);
  SetFieldText(currentField_, QString::fromStdString(result.text));
  if (result.moveOn) {
    QApplication::processEvents();
    FocusField(currentField_ + 1);
  }
}

bool ReportForm::eventFilter(QObject* watched, QEvent* e) {
  const int n = FieldIndex(watched);
  if (n >= 0) {
    switch (e->type()) {
      case QEvent::FocusIn:
        // Back in the field the user was in: nothing happens again (a
        // pick-list would reopen and swallow the typing).
        if (ComesAndGoesWithAnotherWindow(e) && n == enteredField_) break;
        if (enteredField_ > 0 && enteredField_ != n) txtField_LostFocus(enteredField_);
        txtField_GotFocus(n);
        break;
      case QEvent::FocusOut:
        if (!ComesAndGoesWithAnotherWindow(e)) txtField_LostFocus(n);
        break;
      case QEvent::KeyPress: {
        // Tab walks fields 1 to 45 in order across the tabs (past the
        // picture tab); Shift+Tab walks back.
        const auto* key = static_cast<QKeyEvent*>(e);
        const bool plain = (key->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier;
        if (!unlocked_ || n < 1 || !plain || (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)) break;
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        if (back && n == 1) {
          emit TabbedBeforeFirstField();
        } else if (!back && n == reports::kFieldCount - 1) {
          emit TabbedPastLastField();
        } else {
          FocusField(back ? n - 1 : n + 1);
        }
        return true;
      }
      case QEvent::MouseButtonDblClick:
        if (unlocked_ && reports::IsContextField(n)) {
          currentField_ = n;
          ShowContextMenu();
          return true;
        }
        break;
      case QEvent::ToolTip:
        if (reports::IsDateField(n)) {
          // The weekday of a date field's date, in any mode, read as the
          // save reads it (a date without a year is in the current year).
          const auto date = time::ParseDateTime(fieldText(n).toStdString(), session_.clock().Now().year);
          if (date) {
            QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(),
                               QString::fromStdString(time::FormatDateTime(*date, "DDDD")), field(n));
            return true;
          }
        }
        break;
      default: break;
    }
  }
  return QTabWidget::eventFilter(watched, e);
}

const std::array<QString, 3>& ReportForm::picturePaths() const { return pictures_->paths(); }
ZelButton* ReportForm::largerPictureButton(int slot) const { return pictures_->largerButton(slot); }

QString ReportForm::fieldText(int n) const { return form_field::Text(field(n)); }

void ReportForm::SetHeadingCaptions() {
  for (int n = 5; n <= 43; ++n) {
    if (n == 8 || n == 10) continue;
    if (QLabel* l = heading(n)) l->setText(form_field::HeadingText(reports::FieldHeading(n)));
  }
}

void ReportForm::ShowReport(const std::optional<reports::ReportRecord>& report) {
  unlocked_ = false;
  enteredField_ = 0;
  filling_ = true;
  for (int n = 1; n < reports::kFieldCount; ++n) {
    QWidget* w = field(n);
    form_field::SetReadOnly(w, true);
    form_field::Clear(w);
    form_field::Paint(w, kDisplayBack, QColor());
    // Out of the tab order; still selectable for copying.
    w->setFocusPolicy(Qt::ClickFocus);
  }
  MarkMandatory(false);
  if (!report) {
    static_cast<QLineEdit*>(field(0))->clear();
    pictures_->Show(nullptr);
    filling_ = false;
    return;
  }
  const auto texts = reports::FieldTexts(*report);
  for (int n = 0; n < reports::kFieldCount; ++n) {
    const std::string& text = texts[static_cast<std::size_t>(n)];
    form_field::SetText(field(n), IsLongText(n) ? Shown(text) : QString::fromStdString(text));
    if (auto* line = qobject_cast<QLineEdit*>(field(n))) line->setCursorPosition(0);
  }
  pictures_->Show(&*report);
  filling_ = false;
}

void ReportForm::FocusFirstFieldOfTab() {
  if (const int first = reports::FirstFieldOfTab(currentIndex()); first > 0) field(first)->setFocus();
}

void ReportForm::MainTab_Click(int tab) {
  // Redraw the newly chosen tab completely.
  update();
  if (!editing_ || tab < 0) return;
  if (tab == 5) {
    pictures_->Redraw();
    return;
  }
  FocusFirstFieldOfTab();
}

}  // namespace kestrova::gui

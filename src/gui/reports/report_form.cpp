#include "gui/reports/report_form.h"

#include <QApplication>
#include <QGroupBox>
#include <QHelpEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolTip>

#include "core/reports/report_display.h"
#include "core/text/fixed_text.h"
#include "core/text/line_breaks.h"
#include "core/time/date_format.h"
#include "core/time/date_parse.h"
#include "gui/reports/picture_slots.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/session/text_limits.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

const QColor kDisplayBack(192, 255, 255);  // &H00FFFFC0
const QColor kTeal(0, 128, 128);           // &H00808000
const QColor kFocusBack(255, 255, 192);    // &H00C0FFFF
const QColor kFocusText(0, 0, 192);        // &H00C00000
const QString kRedHeading = QStringLiteral("color: rgb(192, 0, 0);");

int Px(int twips) { return ToPixels(twips); }

// A heading the form shows from the start: its field's heading.
QString DesignHeading(int n) {
  const std::string_view heading = reports::FieldHeading(n);
  return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
}

QString Shown(const std::string& stored) { return QString::fromStdString(text::ToShownLineBreaks(stored)); }

bool IsLongText(int n) { return n == 44 || n == 45; }

// Focus that goes away with a pop-up menu or another window, and comes back
// with it, is not the user leaving or entering the field.
bool ComesAndGoesWithAnotherWindow(const QEvent* e) {
  const Qt::FocusReason reason = static_cast<const QFocusEvent*>(e)->reason();
  return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

void Paint(QWidget* w, const QColor& back, const QColor& text = QColor()) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, back);
  if (text.isValid()) p.setColor(QPalette::Text, text);
  w->setPalette(p);
}

}  // namespace

QLabel* ReportForm::Label(QWidget* page, int n, const QString& caption, int x, int y, int width) {
  auto* l = new QLabel(caption, page);
  l->setObjectName(QStringLiteral("lblField%1").arg(n));
  l->setGeometry(Px(x), Px(y), Px(width), Px(240));
  headings_[static_cast<std::size_t>(n)] = l;
  return l;
}

QLineEdit* ReportForm::Line(QWidget* page, int n, int x, int y, int width) {
  auto* e = new QLineEdit(page);
  e->setObjectName(QStringLiteral("txtfield%1").arg(n));
  if (n == 0) {
    e->setMaxLength(reports::FieldMaxLength(n));
  } else {
    LimitLineLength(session_, e, reports::FieldMaxLength(n),
                    [n] { return QString::fromStdString(reports::FieldName(n)); });
  }
  e->setGeometry(Px(x), Px(y), Px(width), Px(330));
  fields_[static_cast<std::size_t>(n)] = e;
  return e;
}

ReportForm::ReportForm(Session& session, QWidget* parent)
    : QTabWidget(parent), session_(session), dataFolder_(session.folder().path()) {
  setObjectName(QStringLiteral("MainTab"));
  const auto page = [this](const QString& caption) {
    auto* p = new QWidget(this);
    addTab(p, caption);
    return p;
  };
  // Tab 0: who and when.
  QWidget* admin = page(QStringLiteral("&Administrative"));
  Label(admin, 0, DesignHeading(0), 200, 150, 2200);
  Line(admin, 0, 200, 400, 2200);
  Label(admin, 1, DesignHeading(1), 2600, 150, 2400);
  Line(admin, 1, 2600, 400, 2400);
  Label(admin, 2, DesignHeading(2), 200, 950, 7000);
  Line(admin, 2, 200, 1200, 7400);
  Label(admin, 3, DesignHeading(3), 200, 1750, 7000);
  Line(admin, 3, 200, 2000, 7400);
  Label(admin, 4, DesignHeading(4), 200, 2550, 5000);
  Line(admin, 4, 200, 2800, 5000);
  Label(admin, 5, QString(), 5400, 2550, 3600);
  Line(admin, 5, 5400, 2800, 3200);
  auto* notice = new QLabel(QStringLiteral("(Red headings are mandatory)"), admin);
  notice->setObjectName(QStringLiteral("lblMinimumEntryNotice"));
  notice->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
  notice->setGeometry(Px(200), Px(3450), Px(5000), Px(260));
  notice->hide();
  QFont bold = fields_[1]->font();
  bold.setBold(true);
  fields_[1]->setFont(bold);

  // Tab 1: when and where.
  QWidget* where = page(QStringLiteral("(&Wh)o/en/ere"));
  auto* occurred = new QGroupBox(QStringLiteral(" Occurred "), where);
  occurred->setGeometry(Px(150), Px(80), Px(12200), Px(1650));
  auto* lbl50 = new QLabel(QStringLiteral("on"), occurred);
  lbl50->setObjectName(QStringLiteral("lblField50"));
  lbl50->setGeometry(Px(150), Px(560), Px(300), Px(240));
  Label(occurred, 6, QString(), 500, 250, 3200);
  Line(occurred, 6, 500, 500, 3200);
  auto* lbl51 = new QLabel(QStringLiteral("or     <---from/to--->"), occurred);
  lbl51->setObjectName(QStringLiteral("lblField51"));
  lbl51->setGeometry(Px(3800), Px(560), Px(2000), Px(240));
  Label(occurred, 7, QString(), 5900, 250, 3200);
  Line(occurred, 7, 5900, 500, 3200);
  Label(occurred, 8, DesignHeading(8), 500, 950, 7000);
  Line(occurred, 8, 500, 1200, 7400);
  auto* reported = new QGroupBox(QStringLiteral(" Reported "), where);
  reported->setGeometry(Px(150), Px(1800), Px(12200), Px(2950));
  auto* lbl46 = new QLabel(QStringLiteral("on"), reported);
  lbl46->setObjectName(QStringLiteral("lblField46"));
  lbl46->setGeometry(Px(150), Px(560), Px(300), Px(240));
  Label(reported, 9, QString(), 500, 250, 3200);
  Line(reported, 9, 500, 500, 3200);
  Label(reported, 10, DesignHeading(10), 3900, 250, 7000);
  Line(reported, 10, 3900, 500, 7400);
  Label(reported, 11, QString(), 500, 1000, 5200);
  Line(reported, 11, 500, 1250, 5200);
  Label(reported, 12, QString(), 5900, 1000, 2200);
  Line(reported, 12, 5900, 1250, 2200);
  Label(reported, 13, QString(), 500, 1800, 7000);
  Line(reported, 13, 500, 2050, 7600);

  // Tabs 2-4: three people, vehicles, property items, each a group of three
  // (four for property) fields: the 40- and 15-character fields side by side,
  // the 50-character field below.
  const auto groups = [&](QWidget* p, int first, bool withValue) {
    const int stride = withValue ? 4 : 3;
    for (int g = 0; g < 3; ++g) {
      const int n = first + g * stride;
      const int y = 100 + g * 1550;
      Label(p, n, QString(), 200, y, 5200);
      Line(p, n, 200, y + 250, 5200);
      Label(p, n + 1, QString(), 5600, y, 2200);
      Line(p, n + 1, 5600, y + 250, 2200);
      Label(p, n + 2, QString(), 200, y + 650, 7000);
      Line(p, n + 2, 200, y + 900, 7600);
      if (withValue) {
        Label(p, n + 3, QString(), 8000, y + 650, 2200);
        Line(p, n + 3, 8000, y + 900, 2200);
      }
    }
  };
  groups(page(QStringLiteral("&People")), 14, false);
  groups(page(QStringLiteral("&Vehicle(s)")), 23, false);
  groups(page(QStringLiteral("P&roperty")), 32, true);

  // Tab 5: three picture slots.
  pictures_ = new PictureSlots(session_, page(QStringLiteral("Photo(s)")));

  // Tab 6: the narrative and the case notes.
  QWidget* docs = page(QStringLiteral("&Documentation"));
  Label(docs, 44, DesignHeading(44), 200, 100, 6000);
  Label(docs, 45, DesignHeading(45), 8400, 100, 3900);
  for (int n : {44, 45}) {
    auto* box = new QPlainTextEdit(docs);
    box->setObjectName(QStringLiteral("txtfield%1").arg(n));
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab walks the fields; it is not typed into the text.
    box->setTabChangesFocus(true);
    box->setGeometry(n == 44 ? QRect(Px(200), Px(620), Px(8000), Px(4030))
                             : QRect(Px(8400), Px(620), Px(3900), Px(4030)));
    fields_[static_cast<std::size_t>(n)] = box;
    auto* full = new QLabel(docs);
    full->setObjectName(QStringLiteral("lblSpaceFull%1").arg(n));
    // On its own line above the box's right edge, clear of the heading.
    full->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    full->setGeometry(n == 44 ? QRect(Px(6400), Px(360), Px(1800), Px(240))
                              : QRect(Px(10500), Px(360), Px(1800), Px(240)));
    full->hide();
    (n == 44 ? lblSpaceFull44_ : lblSpaceFull45_) = full;
  }

  // Field 0: white on teal, centred; never edited.
  auto* control = static_cast<QLineEdit*>(fields_[0]);
  control->setReadOnly(true);
  control->setFocusPolicy(Qt::NoFocus);
  control->setAlignment(Qt::AlignCenter);
  Paint(control, kTeal, Qt::white);
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

void ReportForm::SetFieldText(int n, const QString& text) {
  QWidget* w = field(n);
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    if (line->text() != text) line->setText(text);
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
    if (box->toPlainText() != text) box->setPlainText(text);
  }
}

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
    QWidget* w = field(n);
    if (auto* line = qobject_cast<QLineEdit*>(w)) line->setReadOnly(false);
    if (auto* box = qobject_cast<QPlainTextEdit*>(w)) box->setReadOnly(false);
    w->setFocusPolicy(Qt::StrongFocus);
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
  Paint(field(n), kFocusBack, kFocusText);
  if (auto* line = qobject_cast<QLineEdit*>(field(n))) {
    // After the click that brought the focus has placed the caret; not when
    // the focus has already moved on (the selection would stay drawn).
    QTimer::singleShot(0, line, [line] {
      if (line->hasFocus()) line->selectAll();
    });
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(field(n))) {
    box->selectAll();
  }
  QFont bold = heading(n)->font();
  bold.setBold(true);
  heading(n)->setFont(bold);
  // Bold text is wider: the heading grows so that none of it is cut off.
  if (heading(n)->sizeHint().width() > heading(n)->width()) {
    heading(n)->resize(heading(n)->sizeHint().width(), heading(n)->height());
  }
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
  Paint(field(n), kDisplayBack, Qt::black);
  QFont normal = heading(n)->font();
  normal.setBold(false);
  heading(n)->setFont(normal);
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
  const int w = ToTwips(window->width());
  const int h = ToTwips(window->height());
  const QPoint at = currentField_ <= 21   ? QPoint(Px(w - 2000), Px(h - 4900))
                    : currentField_ <= 30 ? QPoint(Px(w - 2100), Px(h - 4550))
                                          : QPoint(Px(w - 2100), Px(h - 4250));
  int k = 0;
  if (chooser_) {
    k = chooser_(*list, at);
  } else {
    QMenu menu(this);
    menu.setTitle(QString::fromStdString(list->caption));
    QList<QAction*> actions;
    for (const std::string& item : list->items) {
      actions.append(item.empty() ? menu.addSeparator() : menu.addAction(QString::fromStdString(item)));
    }
    QAction* chosen = menu.exec(window->mapToGlobal(at));
    k = chosen ? static_cast<int>(actions.indexOf(chosen)) + 1 : 0;
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
ZelButton* ReportForm::addEditPictureButton(int slot) const { return pictures_->addEditButton(slot); }
ZelButton* ReportForm::deletePictureButton(int slot) const { return pictures_->deleteButton(slot); }
QLabel* ReportForm::pictureImage(int slot) const { return pictures_->image(slot); }
QLabel* ReportForm::pictureCaption(int slot) const { return pictures_->caption(slot); }

QLabel* ReportForm::heading(int n) const { return headings_[static_cast<std::size_t>(n)]; }

QString ReportForm::fieldText(int n) const {
  QWidget* w = field(n);
  if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text();
  if (auto* box = qobject_cast<QPlainTextEdit*>(w)) return box->toPlainText();
  return {};
}

void ReportForm::SetHeadingCaptions() {
  for (int n = 5; n <= 43; ++n) {
    if (n == 8 || n == 10) continue;
    if (QLabel* l = heading(n)) l->setText(QString::fromLatin1(reports::FieldHeading(n).data()));
  }
}

void ReportForm::ShowReport(const std::optional<reports::ReportRecord>& report) {
  unlocked_ = false;
  enteredField_ = 0;
  filling_ = true;
  for (int n = 1; n < reports::kFieldCount; ++n) {
    QWidget* w = field(n);
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
      line->setReadOnly(true);
      line->clear();
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
      box->setReadOnly(true);
      box->clear();
    }
    Paint(w, kDisplayBack);
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
    const QString text = QString::fromStdString(texts[static_cast<std::size_t>(n)]);
    QWidget* w = field(n);
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
      line->setText(text);
      line->setCursorPosition(0);
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
      box->setPlainText(Shown(texts[static_cast<std::size_t>(n)]));
    }
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

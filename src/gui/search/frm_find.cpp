#include "gui/search/frm_find.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>

#include "gui/search/date_picker.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/session/shared_utilities.h"
#include "gui/session/window_skeleton.h"
#include "gui/ui/background.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

int Px(int twips) { return ToPixels(twips); }

QString Caption(int kind) { return QString::fromLatin1(search::SearchKindCaption(kind).data()); }

time::DateTime FromQDate(const QDate& d) { return {d.year(), d.month(), d.day(), 0, 0, 0}; }

}  // namespace

frmFind::frmFind(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("frmFind"));
  new WindowSkeleton(session_, this, {.firstActivation = [this] { Form_Activate(); }, .atShow = true});
  setFixedSize(Px(kWidthTwips), Px(kHeightTwips));
  optFind_.append(nullptr);
  for (int kind = 1; kind <= search::kLastKind; ++kind) {
    auto* opt = new QRadioButton(Caption(kind), this);
    opt->setObjectName(QStringLiteral("optFind%1").arg(kind));
    const int y = kind <= 15 ? 200 + (kind - 1) * 300 : 5800 + (kind - 16) * 300;
    opt->setGeometry(Px(240), Px(y), Px(3600), Px(280));
    connect(opt, &QRadioButton::clicked, this, [this, kind] { optFind_Click(kind); });
    optFind_.append(opt);
  }
  lblFind1_ = new QLabel(this);
  lblFind1_->setObjectName(QStringLiteral("lblFind1"));
  lblFind1_->setGeometry(Px(3950), Px(200), Px(2350), Px(750));
  lblFind1_->setWordWrap(true);
  txtSearchPhrase_ = new QLineEdit(this);
  txtSearchPhrase_->setObjectName(QStringLiteral("txtSearchPhrase"));
  txtSearchPhrase_->setGeometry(Px(3950), Px(1000), Px(2300), Px(340));
  connect(txtSearchPhrase_, &QLineEdit::textChanged, this, [this] { txtSearchPhrase_Change(); });
  // Enter in the phrase starts the search, once there is one to start.
  connect(txtSearchPhrase_, &QLineEdit::returnPressed, this, [this] {
    if (cmdFind_->isVisible() && cmdFind_->isEnabled()) cmdFind_Click();
  });
  chkCapStatus_ = new QCheckBox(QStringLiteral("&Ignore capitalization"), this);
  chkCapStatus_->setObjectName(QStringLiteral("chkCapStatus"));
  chkCapStatus_->setGeometry(Px(3950), Px(1450), Px(2400), Px(300));
  chkWholeWordStatus_ = new QCheckBox(QStringLiteral("&Whole word only"), this);
  chkWholeWordStatus_->setObjectName(QStringLiteral("chkWholeWordStatus"));
  chkWholeWordStatus_->setGeometry(Px(3950), Px(1800), Px(2400), Px(300));

  lblFind2_ = new QLabel(this);
  lblFind2_->setObjectName(QStringLiteral("lblFind2"));
  lblFind2_->setGeometry(Px(3950), Px(5650), Px(2350), Px(750));
  lblFind2_->setWordWrap(true);
  calPickDate_ = new DatePicker(this);
  calPickDate_->setObjectName(QStringLiteral("calPickDate"));
  calPickDate_->setDisplayFormat(QStringLiteral("MMM dd, yyyy"));
  calPickDate_->setGeometry(Px(3950), Px(6450), Px(2300), Px(340));
  calPickDate_->installEventFilter(this);
  calPickDate_->findChild<QLineEdit*>()->installEventFilter(this);
  connect(calPickDate_, &DatePicker::CloseUp, this, &frmFind::calPickDate_CloseUp);

  const auto button = [this](const char* name, const QString& caption, int x) {
    ZelButton* b = MakeCommandButton(this, QString::fromLatin1(name), QColor(128, 255, 255));
    b->setCaption(caption);
    b->setGeometry(Px(x), Px(7700), Px(1900), Px(500));
    return b;
  };
  cmdFind_ = button("cmdFind", QStringLiteral("&Find"), 240);
  cmdCancel_ = button("cmdCancel", QStringLiteral("&Cancel"), 2250);
  cmdHelp_ = button("cmdHelp", QStringLiteral("&Help"), 4260);
  cmdHelp_->setToolTip(QStringLiteral(" Illustrated Manual "));
  connect(cmdFind_, &ZelButton::Click, this, &frmFind::cmdFind_Click);
  connect(cmdCancel_, &ZelButton::Click, this, &frmFind::cmdCancel_Click);
  connect(cmdHelp_, &ZelButton::Click, this, [this] { OpenManual(session_, this); });
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { OpenManual(session_, this); });
  // Escape presses Cancel, as its tool-tip says.
  SetCancelButton(this, cmdCancel_);
  flasher_ = new ButtonFlasher(ButtonFlasher::Family::Search, this);
}

void frmFind::Form_Activate() {
  if (activated_) return;
  activated_ = true;
  setWindowTitle(QStringLiteral(" ") + session_.applicationTitle() + QStringLiteral(" - ") +
                 QStringLiteral("Search/Summarize Records..."));
  lblFind1_->setText(QStringLiteral("Enter a word or phrase \n(whole or partial) to search for..."));
  lblFind2_->setText(QStringLiteral("Select a beginning date\nfor the indicated summary..."));
  SetFindEnabled(false);
  cmdCancel_->setToolTip(QStringLiteral(" Close this window <Esc> "));
  const search::SearchCriteria& c = session_.searchCriteria;
  txtSearchPhrase_->setText(QString::fromStdString(c.SearchPhrase));
  if (!txtSearchPhrase_->text().isEmpty()) txtSearchPhrase_->selectAll();
  QApplication::processEvents();
  txtSearchPhrase_->setFocus();
  int kind = c.SearchKind;
  if (kind > 15 || kind < 1) kind = 1;
  optFind_[kind]->setChecked(true);
  optFind_Click(kind);
  chkCapStatus_->setChecked(c.IgnoreCapitalization == 1);
  chkWholeWordStatus_->setChecked(c.WholeWordOnly == 1);
  const QDate today = [this] {
    const time::DateTime now = session_.clock().Now();
    return QDate(now.year, now.month, now.day);
  }();
  calPickDate_->setDateRange(QDate(2000, 1, 1), today);
  // The calendar starts at today, or at the date picked last.
  const QDate last = session_.lastPickedDate;
  calPickDate_->setDate(last.isValid() && last <= today && last.year() >= 2000 ? last : today);
}

int frmFind::SelectedKind() const {
  for (int kind = 1; kind <= search::kLastKind; ++kind) {
    if (optFind_[kind]->isChecked()) return kind;
  }
  return 1;
}

void frmFind::SetFindEnabled(bool enabled) {
  cmdFind_->setEnabled(enabled);
  // The find button pulses exactly while it can be pressed.
  if (enabled) {
    flasher_->Start(cmdFind_, 15, 15);
  } else {
    flasher_->Stop();
  }
}

void frmFind::optFind_Click(int kind) {
  const bool phrase = search::IsPhraseKind(kind);
  if (!phrase) {
    SetFindEnabled(false);
    lblFind1_->setEnabled(false);
    txtSearchPhrase_->setEnabled(false);
    chkCapStatus_->setEnabled(false);
    chkWholeWordStatus_->setEnabled(false);
    lblFind2_->setEnabled(true);
    calPickDate_->setEnabled(true);
    cmdFind_->setToolTip(QStringLiteral(" ") + Caption(kind) + QStringLiteral(" "));
    datePicked_ = false;
    QApplication::processEvents();
    calPickDate_->setFocus();
    return;
  }
  SetFindEnabled(!txtSearchPhrase_->text().isEmpty());
  lblFind1_->setEnabled(true);
  txtSearchPhrase_->setEnabled(true);
  chkCapStatus_->setEnabled(true);
  chkWholeWordStatus_->setEnabled(true);
  lblFind2_->setEnabled(false);
  calPickDate_->setEnabled(false);
}

void frmFind::txtSearchPhrase_Change() {
  const QString trimmed = txtSearchPhrase_->text().trimmed();
  if (!trimmed.isEmpty()) {
    cmdFind_->setToolTip(QStringLiteral(" Start searching for '") + trimmed + QStringLiteral("' "));
    cmdFind_->setMousePointer(99);
    SetFindEnabled(true);
  } else {
    cmdFind_->setToolTip(QString());
    cmdFind_->setMousePointer(0);
    SetFindEnabled(false);
  }
}

void frmFind::calPickDate_CloseUp() {
  // However the calendar closed (a pick, Escape, a click elsewhere), the
  // date it shows is the one a summary would use.
  datePicked_ = true;
  session_.lastPickedDate = calPickDate_->date();
  SetFindEnabled(true);
}

void frmFind::DropDownCalendar() {
  // The focus may reach the picker only once its window is active again
  // (after a question); until then the drop-down waits.
  dropDownPending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (!dropDownPending_ || !calPickDate_->hasFocus()) return;
    dropDownPending_ = false;
    if (!calPickDate_->CalendarShown()) {
      PressKey(115);
      QApplication::processEvents();
    }
  });
}

bool frmFind::eventFilter(QObject* watched, QEvent* e) {
  const bool picker = watched == calPickDate_ || watched == calPickDate_->findChild<QLineEdit*>();
  if (picker && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)) {
    // The calendar drops down as soon as the picker gets the focus; not when
    // the focus only comes back to it from its own calendar or from another
    // window, or Escape could never leave the calendar closed.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
    const bool comesBack = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
    if (e->type() == QEvent::FocusOut) {
      if (!comesBack) dropDownPending_ = false;
    } else if (calPickDate_->isEnabled()) {
      // Back from a question, a drop-down asked for before it is due now.
      const bool due = dropDownPending_ && reason == Qt::ActiveWindowFocusReason;
      if (!comesBack || due) DropDownCalendar();
    }
  }
  return QDialog::eventFilter(watched, e);
}

void frmFind::cmdFind_Click() {
  if (txtSearchPhrase_->isEnabled()) {
    const auto refused = search::RefuseUnstorablePhrase(txtSearchPhrase_->text().toStdString());
    if (refused) {
      MessageRequest r{.caption = QString::fromStdString(refused->caption), .iconKind = kIconError};
      QStringList lines;
      for (const auto& line : refused->lines) lines << QString::fromStdString(line);
      r.message = lines.join(QLatin1Char('\n'));
      r.buttons = {QStringLiteral("&Okay")};
      ShowMessage(session_, r, this);
      txtSearchPhrase_->setFocus();
      return;
    }
  } else {
    const int kind = SelectedKind();
    if (!datePicked_) return;
    const QDate d = calPickDate_->date();
    const search::SummaryQuestion q = search::BuildSummaryQuestion(kind, FromQDate(d));
    MessageRequest r{.caption = QString::fromStdString(q.caption), .iconKind = kIconInformation};
    QStringList lines;
    for (const auto& line : q.lines) lines << QString::fromStdString(line);
    r.message = lines.join(QLatin1Char('\n'));
    for (const auto& b : q.buttons) r.buttons << QString::fromStdString(b);
    r.defaultButton = 1;
    if (ShowMessage(session_, r, this).pressedButton != 1) return;
    if (!q.valid) {
      QApplication::processEvents();
      calPickDate_->setFocus();
      DropDownCalendar();
      return;
    }
  }
  confirmed_ = true;
  CloseDialog();
}

void frmFind::cmdCancel_Click() { CloseDialog(); }

void frmFind::CloseDialog() {
  flasher_->Stop();
  search::FindDialogState state;
  state.selectedKind = SelectedKind();
  state.phraseText = txtSearchPhrase_->text().toStdString();
  state.ignoreCapitalization = chkCapStatus_->isChecked();
  state.wholeWordOnly = chkWholeWordStatus_->isChecked();
  if (datePicked_) state.pickedDate = FromQDate(calPickDate_->date());
  state.confirmed = confirmed_;
  outcome_ = search::CloseFindDialog(state);
  session_.searchCriteria = outcome_.criteria;
  closing_ = true;
  done(confirmed_ ? QDialog::Accepted : QDialog::Rejected);
}

void frmFind::closeEvent(QCloseEvent* e) {
  if (!closing_) {
    // The close box cancels, through the same closing.
    e->ignore();
    CloseDialog();
    return;
  }
  QDialog::closeEvent(e);
}

}  // namespace kestrova::gui

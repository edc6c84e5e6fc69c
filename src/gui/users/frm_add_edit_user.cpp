#include "gui/users/frm_add_edit_user.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "core/logs/activity_log.h"
#include "core/text/fixed_text.h"
#include "core/text/line_breaks.h"
#include "core/time/date_format.h"
#include "core/users/access_level.h"
#include "core/users/passwords.h"
#include "core/users/user_actions.h"
#include "core/users/user_list.h"
#include "gui/session/activity_logs.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/session/text_limits.h"
#include "gui/session/window_skeleton.h"
#include "gui/ui/background.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

constexpr int kCommentsLimit = 439;
const QColor kAddFocus(255, 255, 192);
const QColor kEditFocus(255, 192, 255);
const QColor kNoFocus(192, 255, 255);

void SetBack(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, c);
  w->setPalette(p);
}

QString Q(std::string_view s) { return QString::fromStdString(std::string(s)); }

}  // namespace

QString CommentsFullCaption(int length) {
  const double share = std::max(0.01, static_cast<double>(length) / kCommentsLimit);
  return QStringLiteral(" %1% full ").arg(std::lround(share * 100));
}

frmAddEditUser::frmAddEditUser(Session& session, Mode mode, int recordNumber, QWidget* parent)
    : QDialog(parent), session_(session), mode_(mode), recordNumber_(recordNumber) {
  setObjectName(QStringLiteral("frmAddEditUser"));
  new WindowSkeleton(session_, this, {.firstActivation = [this] { Form_Activate(); }, .atShow = true});
  const QScreen* s = screen();
  setFixedSize(ToPixels(kWidthTwips, s), ToPixels(kHeightTwips, s));
  const auto px = [s](int twips) { return ToPixels(twips, s); };
  const auto label = [this](const QString& text, const QRect& r, const char* name = nullptr) {
    auto* l = new QLabel(text, this);
    if (name) l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(r);
    return l;
  };
  txtfield_.append(nullptr);
  const struct {
    const char* caption;
    int limit;
    int top;
  } fields[] = {{"* First Name", 15, 300}, {"* Last Name", 20, 1000}, {"* Password (4-8 characters)", 19, 1700}};
  for (int i = 0; i < 3; ++i) {
    label(QString::fromLatin1(fields[i].caption), QRect(px(240), px(fields[i].top), px(3000), px(260)));
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("txtfield%1").arg(i + 1));
    if (i == 2) {
      edit->setMaxLength(fields[i].limit);  // the password: its hint is the longest text
    } else {
      const QString name = QString::fromLatin1(fields[i].caption + 2);
      LimitLineLength(session_, edit, fields[i].limit, [name] { return name; });
    }
    edit->setGeometry(px(240), px(fields[i].top + 260), px(3000), px(340));
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, [this] { TextChanged(); });
    txtfield_.append(edit);
  }
  label(QStringLiteral("Comments"), QRect(px(240), px(2450), px(3000), px(260)));
  txtComments_ = new QPlainTextEdit(this);
  txtComments_->setObjectName(QStringLiteral("txtfield4"));
  txtComments_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtComments_->setGeometry(px(240), px(2710), px(5600), px(1500));
  txtComments_->installEventFilter(this);
  // The box holds at most 439 characters as stored (a line break takes two).
  LimitBoxLength(session_, txtComments_, kCommentsLimit, [] { return QStringLiteral("Comments"); });
  connect(txtComments_, &QPlainTextEdit::textChanged, this, [this] {
    CommentsChanged();
    TextChanged();
  });
  lblSpaceFull_ = label(QString(), QRect(px(4400), px(2450), px(1440), px(260)), "lblSpaceFull");
  lblSpaceFull_->hide();

  label(QStringLiteral("* Access Level"), QRect(px(3500), px(300), px(2400), px(260)), "lblField0");
  optAccessLevel_.append(nullptr);
  for (int level = 1; level <= 4; ++level) {
    auto* opt = new QRadioButton(this);
    opt->setObjectName(QStringLiteral("optAccessLevel%1").arg(level));
    opt->setGeometry(px(3600), px(300 + level * 330), px(2300), px(300));
    connect(opt, &QRadioButton::clicked, this, [this, level] { optAccessLevel_Click(level); });
    optAccessLevel_.append(opt);
  }
  lblDateCreated_ = label(QString(), QRect(px(3500), px(2000), px(2500), px(260)), "lblDateCreated");
  lblDateCreated_->hide();
  label(QStringLiteral("* (Mandatory Entry)"), QRect(px(240), px(4300), px(2500), px(260)), "lblMandatory");

  const auto button = [this](const char* name) {
    return MakeCommandButton(this, QString::fromLatin1(name), QColor(232, 236, 244));
  };
  cmdSave_ = button("cmdSave");
  cmdCancel_ = button("cmdCancel");
  cmdSave_->setGeometry(px(1900), px(4700), px(1900), px(480));
  cmdCancel_->setGeometry(px(3950), px(4700), px(1900), px(480));
  connect(cmdSave_, &ZelButton::Click, this, &frmAddEditUser::cmdSave_Click);
  connect(cmdCancel_, &ZelButton::Click, this, &QDialog::reject);
}

QString frmAddEditUser::Tag() const {
  return mode_ == Mode::Add ? QStringLiteral("Add a User") : QStringLiteral("View/Edit this User");
}

void frmAddEditUser::Form_Activate() {
  if (activated_) return;
  setWindowTitle(Tag() + QStringLiteral(" - ") + session_.applicationTitle());
  for (int level = 1; level <= 4; ++level) {
    optAccessLevel_[level]->setText(Q(users::AccessLevelName(level)));
  }
  if (mode_ == Mode::Add) {
    cmdSave_->setCaption(QStringLiteral("&Save New Entry"));
    cmdSave_->show();
    cmdSave_->setEnabled(false);
    cmdCancel_->setCaption(QStringLiteral("&Cancel New Entry"));
    optAccessLevel_[1]->setChecked(true);
    optAccessLevel_Click(1);
  } else {
    cmdSave_->setCaption(QStringLiteral("&Save Changes"));
    cmdSave_->setEnabled(true);
    cmdSave_->hide();
    cmdCancel_->setCaption(QStringLiteral("&Finished Viewing"));
    auto user = users::ReadOneUser(session_.folder(), recordNumber_);
    if (user.ok()) {
      shown_ = *user;
      lblDateCreated_->setText(QStringLiteral(" Record Created ") +
                               Q(time::FormatOleDate(user->DateCreated, "mm/dd/yyyy hh:mmam/pm ").value_or("")));
      // The whole line, within the form's right edge.
      lblDateCreated_->setWordWrap(false);
      lblDateCreated_->resize(std::min(lblDateCreated_->sizeHint().width(), width() - lblDateCreated_->x() - 4),
                              lblDateCreated_->height());
      if (lblDateCreated_->sizeHint().width() > lblDateCreated_->width()) {
        lblDateCreated_->setWordWrap(true);
        lblDateCreated_->resize(lblDateCreated_->width(), lblDateCreated_->heightForWidth(lblDateCreated_->width()));
      }
      lblDateCreated_->show();
      const int level = std::clamp<int>(user->AccessLevel, 1, 4);
      optAccessLevel_[level]->setChecked(true);
      optAccessLevel_Click(level);
      txtfield_[1]->setText(Q(text::Trim(user->FirstName)));
      txtfield_[2]->setText(Q(text::Trim(user->LastName)));
      txtComments_->setPlainText(Q(text::ToShownLineBreaks(text::Trim(user->Comments))));
      shownComments_ = txtComments_->toPlainText();
      txtfield_[3]->setText(Q(users::DecodePassword(user->Password)));
    }
  }
  cmdSave_->Refresh();
  cmdCancel_->Refresh();
  activated_ = true;
  QApplication::processEvents();
  txtfield_[1]->setFocus();
}

bool frmAddEditUser::Complete() const {
  for (int i = 1; i <= 3; ++i) {
    if (txtfield_[i]->text().trimmed().isEmpty()) return false;
  }
  return true;
}

void frmAddEditUser::TextChanged() {
  if (!activated_) return;
  if (cmdSave_->isVisible()) {
    cmdSave_->setEnabled(Complete());
  } else {
    cmdSave_->setVisible(Complete());
  }
  if (mode_ == Mode::ViewEdit) cmdCancel_->setCaption(QStringLiteral("&Cancel Changes"));
}

void frmAddEditUser::CommentsChanged() {
  const int length = StoredLength(txtComments_->toPlainText());
  lblSpaceFull_->setVisible(length > 0);
  if (length > 0) lblSpaceFull_->setText(CommentsFullCaption(length));
}

void frmAddEditUser::optAccessLevel_Click(int level) {
  chosenLevel_ = level;
  for (int i = 1; i <= 4; ++i) {
    QPalette p = optAccessLevel_[i]->palette();
    p.setColor(QPalette::WindowText, i == level ? QColor(0, 0, 64) : QColor(0, 0, 128));
    optAccessLevel_[i]->setPalette(p);
    QFont f = optAccessLevel_[i]->font();
    f.setBold(i == level);
    optAccessLevel_[i]->setFont(f);
  }
  if (activated_ && mode_ == Mode::ViewEdit) {
    if (cmdSave_->isVisible()) {
      cmdSave_->setEnabled(Complete());
    } else {
      cmdSave_->setVisible(Complete());
    }
    cmdCancel_->setCaption(QStringLiteral("&Cancel Changes"));
  }
}

bool frmAddEditUser::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (w && e->type() == QEvent::FocusIn) {
    SetBack(w, mode_ == Mode::Add ? kAddFocus : kEditFocus);
    if (w == txtfield_[3]) {
      if (txtfield_[3]->text().isEmpty()) {
        txtfield_[3]->setText(kPasswordHint);
        // Selected, so that typing replaces it.
        QTimer::singleShot(0, txtfield_[3], [edit = txtfield_[3]] { edit->selectAll(); });
      } else {
        QTimer::singleShot(0, txtfield_[3], [edit = txtfield_[3]] { edit->end(false); });
      }
    }
  } else if (w && e->type() == QEvent::FocusOut) {
    SetBack(w, kNoFocus);
  }
  return QDialog::eventFilter(watched, e);
}

void frmAddEditUser::cmdSave_Click() {
  const QString password = txtfield_[3]->text();
  if (!users::IsValidPassword(password.toStdString())) {
    ShowNotice(session_, this, QStringLiteral("Invalid Password Entry"),
               QStringLiteral("The password must be\n4 to 8 characters, using\nletters and numbers only."),
               kIconWarning, QStringLiteral("&Please enter valid password"));
    QApplication::processEvents();
    txtfield_[3]->setFocus();
    return;
  }
  // Nothing is saved that the user list would store as "?".
  const struct {
    QWidget* box;
    QString text, name;
  } texts[] = {{txtfield_[1], txtfield_[1]->text(), QStringLiteral("First Name")},
               {txtfield_[2], txtfield_[2]->text(), QStringLiteral("Last Name")},
               {txtComments_, txtComments_->toPlainText(), QStringLiteral("Comments")}};
  for (const auto& t : texts) {
    if (!CheckStorable(session_, this, t.box, t.text, t.name)) return;
  }
  const users::UserEntry entry{
      .firstName = txtfield_[1]->text().toStdString(),
      .lastName = txtfield_[2]->text().toStdString(),
      .password = password.toStdString(),
      .comments = txtComments_->toPlainText().toStdString(),
      .accessLevel = static_cast<std::int16_t>(chosenLevel_),
      .commentsChanged = mode_ == Mode::Add || txtComments_->toPlainText() != shownComments_,
  };
  auto written =
      users::SaveUser(session_.folder(), session_.clock(), entry,
                      mode_ == Mode::Add ? std::nullopt : std::optional<users::ShownUser>({recordNumber_, shown_}));
  if (!written.ok()) {
    ShowNotice(session_, this, QStringLiteral("User Not Saved"), QString::fromStdString(written.message()), kIconError);
    return;
  }
  ShowLogProblem(session_, this, written->logged);
  const users::UserRecord& user = written->user;
  saved_ = true;
  savedNameSort_ =
      QString::fromStdString(std::string(text::Trim(user.LastName)) + " " + std::string(text::Trim(user.FirstName)));
  accept();
}

}  // namespace kestrova::gui

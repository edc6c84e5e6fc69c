#include "gui/session/version_check.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include "core/update/update_check.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/session/shared_utilities.h"
#include "platform/http_fetch.h"
#include "platform/settings_store.h"

namespace kestrova::gui {
namespace {

const QString kAutoUpdateCheck = QStringLiteral("AutoUpdateCheck");

int VersionPart(int index) {
  return QString::fromLatin1(KESTROVA_VERSION_STRING).section(QLatin1Char('.'), index, index).toInt();
}

QString ItemOneCaption(bool on) {
  return QStringLiteral("Automatic version udpate checking is currently ") +
         (on ? QStringLiteral("enabled") : QStringLiteral("disabled"));
}

}  // namespace

QString VersionInfoAddress(const platform::SettingsStore& settings) {
  const QString fromEnvironment = qEnvironmentVariable("KESTROVA_UPDATE_URL").trimmed();
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  const QString fromSetting = settings.Read(QStringLiteral("UpdateAddress")).value_or(QString()).trimmed();
  if (!fromSetting.isEmpty()) return fromSetting;
  return QString::fromUtf8(KESTROVA_UPDATE_ADDRESS);
}

bool AutoUpdateCheckOn(const platform::SettingsStore& settings) {
  return settings.Read(kAutoUpdateCheck).value_or(QString()).compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0;
}

VersionCheck::VersionCheck(Session& session) : session_(session) {
  menu_ = std::make_unique<QMenu>();
  menu_->setObjectName(QStringLiteral("menuUpdateCheckmenu"));
  const auto item = [this](const QString& caption) {
    QAction* a = caption.isEmpty() ? menu_->addSeparator() : menu_->addAction(caption);
    a->setObjectName(QStringLiteral("menuUpdateCheck%1").arg(menuUpdateCheck_.size() + 1));
    menuUpdateCheck_.append(a);
  };
  item(ItemOneCaption(false));
  item({});
  item(QStringLiteral("Automatically check for a version update when program starts"));
  item(QStringLiteral("Disable automatic version update checking"));
  item({});
  item(QStringLiteral("Exit this menu"));
}

VersionCheck::~VersionCheck() = default;

void VersionCheck::CheckForUpdate(bool userAsked, QWidget* askedFrom) {
  if (askedFrom) askedFrom_ = askedFrom;
  if (checking()) {
    userAsked_ = userAsked_ || userAsked;
    return;
  }
  userAsked_ = userAsked;
  pending_ = session_.http().Start(VersionInfoAddress(session_.settings()),
                                   [this](std::optional<QByteArray> body) { Answered(std::move(body)); });
}

void VersionCheck::Abandon() { pending_.reset(); }

QWidget* VersionCheck::Owner() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (askedFrom_ && askedFrom_->isVisible()) return askedFrom_;
  // None active (the user is in another program): a window of ours on show.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->isWindow() && !(w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)) return w;
  }
  return nullptr;
}

void VersionCheck::Answered(std::optional<QByteArray> body) {
  pending_.reset();
  // No connection, no file, a refusal: silence.
  if (!body) return;
  // The line break that ends the file is not part of the note.
  while (body->endsWith('\n') || body->endsWith('\r')) body->chop(1);
  const update::UpdateDecision d =
      update::DecideUpdate(body->toStdString(), VersionPart(0), VersionPart(1), VersionPart(2), userAsked_,
                           session_.makerName().toStdString(), session_.applicationTitle().toStdString());
  if (d.show == update::UpdateDecision::Show::Nothing) return;
  QStringList lines;
  for (const std::string& line : d.lines) lines.append(QString::fromStdString(line));
  QStringList buttons;
  for (const std::string& button : d.buttons) buttons.append(QString::fromStdString(button));
  const MessageRequest request{.caption = QString::fromStdString(d.caption),
                               .iconKind = kIconInformation,
                               .message = lines.join(QLatin1Char('\n')),
                               .defaultButton = d.defaultButton,
                               .buttons = buttons};
  answering_ = true;
  const QPointer<VersionCheck> alive(this);
  const QPointer<QWidget> owner(Owner());
  const MessageResult result = ShowMessage(session_, request, owner);
  if (!alive) return;
  answering_ = false;
  if (d.show == update::UpdateDecision::Show::UpdateAvailable && result.pressedButton == 1) {
    OpenAddress(session_, kAddressWeb, owner,
                QString::fromStdString(update::UpdatePage(session_.makerWebSite().toStdString(),
                                                          session_.applicationTitle().toStdString())));
  }
}

void VersionCheck::ShowMenu(const QPoint& at) {
  const bool on = AutoUpdateCheckOn(session_.settings());
  menuUpdateCheck_[0]->setText(ItemOneCaption(on));
  menuUpdateCheck_[2]->setEnabled(!on);
  menuUpdateCheck_[3]->setEnabled(on);
  const QPointer<VersionCheck> alive(this);
  QAction* chosen = menu_->exec(at);
  if (!alive || !chosen) return;
  if (chosen == menuUpdateCheck_[2]) session_.settings().Write(kAutoUpdateCheck, QStringLiteral("True"));
  if (chosen == menuUpdateCheck_[3]) session_.settings().Write(kAutoUpdateCheck, QStringLiteral("False"));
}

}  // namespace kestrova::gui

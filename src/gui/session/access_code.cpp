#include "gui/session/access_code.h"

#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "platform/access_code_store.h"

namespace kestrova::gui {
namespace {

bool TryAgain(Session& session, QWidget* owner, const QString& caption, const QString& message) {
  const MessageRequest r{.caption = caption,
                         .iconKind = kIconWarning,
                         .message = message,
                         .buttons = {QStringLiteral("&Try again"), QStringLiteral("&Never mind")}};
  return ShowMessage(session, r, owner).pressedButton == 1;
}

QString ResetCommand(Session& session) {
  return QStringLiteral("kestrova --reset-access-code --data-dir ") +
         QString::fromStdString(session.folder().path().string());
}

// The folder's code could not be read or written: nothing is let through.
void ShowUnavailable(Session& session, QWidget* owner, const Error& error) {
  QString message = QString::fromStdString(error.message);
  if (error.kind == Error::Kind::Damaged) {
    message += QStringLiteral("\n\nIt can be cleared with:\n") + ResetCommand(session);
  }
  ShowNotice(session, owner, QStringLiteral("Access Code Unavailable"), message, kIconError);
}

enum class Chosen { Yes, No, Elsewhere };

// The first administrator chooses the code.
Chosen ChooseAccessCode(Session& session, QWidget* owner, platform::AccessCodeStore& store) {
  for (;;) {
    platform::InputRequest first;
    first.title = QStringLiteral("Choose an Access Code");
    first.prompt = QStringLiteral(
                       "No administrative access code has been chosen yet.\n"
                       "Choose one now (at least %1 characters); it will be\n"
                       "asked for before the user list, the activity logs\n"
                       "and backup/restore can be used.")
                       .arg(platform::AccessCodeStore::kMinimumLength);
    first.password = true;
    const auto code = session.inputBox().Ask(first, owner);
    if (!code || code->isEmpty()) return Chosen::No;
    if (code->size() < platform::AccessCodeStore::kMinimumLength) {
      if (!TryAgain(session, owner, QStringLiteral("Access Code Too Short"),
                    QStringLiteral("The access code must have\nat least %1 characters.")
                        .arg(platform::AccessCodeStore::kMinimumLength))) {
        return Chosen::No;
      }
      continue;
    }
    platform::InputRequest second = first;
    second.title = QStringLiteral("Confirm the Access Code");
    second.prompt = QStringLiteral("Type the same access code again:");
    const auto again = session.inputBox().Ask(second, owner);
    if (!again) return Chosen::No;
    if (*again != *code) {
      if (!TryAgain(session, owner, QStringLiteral("Access Codes Differ"),
                    QStringLiteral("The two entries were not the same."))) {
        return Chosen::No;
      }
      continue;
    }
    const auto stored = store.Set(*code);
    if (!stored.ok()) {
      ShowUnavailable(session, owner, stored.error());
      return Chosen::No;
    }
    if (!*stored) {
      ShowNotice(session, owner, QStringLiteral("Access Code Chosen Elsewhere"),
                 QStringLiteral("Another workstation has just chosen the\n"
                                "access code for this data folder.\n\n"
                                "Please enter that access code."),
                 kIconInformation, QStringLiteral("&Continue"));
      return Chosen::Elsewhere;
    }
    ShowNotice(session, owner, QStringLiteral("Access Code Set"),
               QStringLiteral("The access code has been set for this data folder,\n"
                              "on every workstation that uses it.\n\n"
                              "It is kept, as a salted hash (never the code itself),\n"
                              "in the file:\n") +
                   store.Location() + QStringLiteral("\n\nA forgotten code can be cleared with:\n") +
                   ResetCommand(session),
               kIconInformation, QStringLiteral("&Continue"));
    return Chosen::Yes;
  }
}

}  // namespace

bool RequestAccessCode(Session& session, QWidget* owner) {
  platform::AccessCodeStore store(session.settings(), session.folder());
  const auto set = store.IsSet();
  if (!set.ok()) {
    ShowUnavailable(session, owner, set.error());
    return false;
  }
  if (!*set) {
    const Chosen chosen = ChooseAccessCode(session, owner, store);
    if (chosen != Chosen::Elsewhere) return chosen == Chosen::Yes;
  }
  for (;;) {
    // Typed masked into an empty box: the code is never on show.
    platform::InputRequest ask;
    ask.title = QStringLiteral("Access Code Required");
    ask.prompt = QStringLiteral("\nPlease enter the\ncorrect access code...");
    ask.password = true;
    const auto answer = session.inputBox().Ask(ask, owner);
    if (!answer || answer->isEmpty()) return false;
    const auto right = store.Verify(*answer);
    if (!right.ok()) {
      ShowUnavailable(session, owner, right.error());
      return false;
    }
    if (*right) return true;
    const MessageRequest wrong{.caption = QStringLiteral("Invalid Entry"),
                               .iconKind = kIconError,
                               .message = QStringLiteral("The access code entered is not the\ncorrect Access Code"),
                               .defaultButton = 1,
                               .buttons = {QStringLiteral("&Try again"), QStringLiteral("&Never mind")}};
    if (ShowMessage(session, wrong, owner).pressedButton != 1) return false;
  }
}

}  // namespace kestrova::gui

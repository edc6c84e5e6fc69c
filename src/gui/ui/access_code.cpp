#include "gui/ui/access_code.h"

#include "gui/session.h"
#include "platform/access_code_store.h"

namespace kestrova::gui {
namespace {

bool TryAgain(Session& session, QWidget* owner, const QString& caption, const QString& message) {
  MessageRequest r;
  r.caption = caption;
  r.iconKind = kIconWarning;
  r.message = message;
  r.buttons = {QStringLiteral("&Try again"), QStringLiteral("&Never mind")};
  return ShowMessage(session, r, owner).pressedButton == 1;
}

// The first administrator chooses the code.
bool ChooseAccessCode(Session& session, QWidget* owner) {
  platform::AccessCodeStore store(session.settings());
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
    if (!code || code->isEmpty()) return false;
    if (code->size() < platform::AccessCodeStore::kMinimumLength) {
      if (!TryAgain(session, owner, QStringLiteral("Access Code Too Short"),
                    QStringLiteral("The access code must have\nat least %1 characters.")
                        .arg(platform::AccessCodeStore::kMinimumLength))) {
        return false;
      }
      continue;
    }
    platform::InputRequest second = first;
    second.title = QStringLiteral("Confirm the Access Code");
    second.prompt = QStringLiteral("Type the same access code again:");
    const auto again = session.inputBox().Ask(second, owner);
    if (!again) return false;
    if (*again != *code) {
      if (!TryAgain(session, owner, QStringLiteral("Access Codes Differ"),
                    QStringLiteral("The two entries were not the same."))) {
        return false;
      }
      continue;
    }
    store.Set(*code);
    ShowNotice(session, owner, QStringLiteral("Access Code Set"), QStringLiteral(
                       "The access code has been set.\n\n"
                       "It is kept, as a salted hash (never the code itself),\n"
                       "in the settings file:\n") +
                   session.settings().Location() +
                   QStringLiteral("\n\nA forgotten code can be cleared with:\nkestrova --reset-access-code"), kIconInformation, QStringLiteral("&Continue"));
    return true;
  }
}

}  // namespace

bool RequestAccessCode(Session& session, QWidget* owner) {
  platform::AccessCodeStore store(session.settings());
  if (!store.IsSet()) return ChooseAccessCode(session, owner);
  for (;;) {
    platform::InputRequest ask;
    ask.title = QStringLiteral("Access Code Required");
    ask.prompt = QStringLiteral("\nPlease enter the\ncorrect access code...");
    ask.defaultText = QStringLiteral("<Enter Access Code Here>");
    const auto answer = session.inputBox().Ask(ask, owner);
    if (!answer || answer->isEmpty()) return false;
    if (store.Verify(*answer)) return true;
    MessageRequest wrong;
    wrong.caption = QStringLiteral("Invalid Entry");
    wrong.iconKind = kIconError;
    wrong.message = QStringLiteral("'") + *answer + QStringLiteral("' is not the\n\ncorrect Access Code");
    wrong.defaultButton = 1;
    wrong.buttons = {QStringLiteral("&Try again"), QStringLiteral("&Never mind")};
    if (ShowMessage(session, wrong, owner).pressedButton != 1) return false;
  }
}

}  // namespace kestrova::gui

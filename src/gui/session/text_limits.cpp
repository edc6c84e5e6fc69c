#include "gui/session/text_limits.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QValidator>

#include "core/text/line_breaks.h"
#include "core/text/storable_text.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"

namespace kestrova::gui {
namespace {

void TellCut(Session& session, QWidget* box, int limit, const QString& name, bool multiLine) {
  QPointer<QWidget> guard(box);
  // After the edit has settled, not from inside the box's own signal.
  QTimer::singleShot(0, box, [&session, guard, limit, name, multiLine] {
    if (!guard) return;
    QString message = QStringLiteral("'%1' holds at most %2 characters").arg(name).arg(limit);
    message += multiLine ? QStringLiteral("\n(a line break counts as two).") : QStringLiteral(".");
    message += QStringLiteral("\n\nThe pasted text was cut to fit.");
    ShowNotice(session, guard->window(), QStringLiteral("Text Too Long"), message, kIconWarning);
    guard->setFocus();
  });
}

}  // namespace

int StoredLength(const QString& shown) { return static_cast<int>(text::StoredLength(shown.toStdString())); }

namespace {

// Sees every change of the box's text, typed or set, before it is shown.
class LengthValidator : public QValidator {
 public:
  LengthValidator(Session& session, QLineEdit* box, int limit, std::function<QString()> fieldName)
      : QValidator(box),
        session_(session),
        box_(box),
        limit_(limit),
        fieldName_(std::move(fieldName)),
        accepted_(box->text().size()) {}

  State validate(QString& input, int& pos) const override {
    if (input.size() > limit_) {
      // One more character typed into a full box: refused.
      if (input.size() - accepted_ <= 1) return Invalid;
      input.truncate(limit_);
      pos = std::min(pos, static_cast<int>(limit_));
      TellCut(session_, box_, limit_, fieldName_(), false);
    }
    accepted_ = input.size();
    return Acceptable;
  }

 private:
  Session& session_;
  QLineEdit* box_;
  int limit_;
  std::function<QString()> fieldName_;
  mutable qsizetype accepted_;  // the length of the text the box holds
};

}  // namespace

void LimitLineLength(Session& session, QLineEdit* box, int limit, std::function<QString()> fieldName) {
  box->setValidator(new LengthValidator(session, box, limit, std::move(fieldName)));
}

void LimitBoxLength(Session& session, QPlainTextEdit* box, int limit, std::function<QString()> fieldName) {
  auto previousLength = std::make_shared<int>(0);
  QObject::connect(box, &QPlainTextEdit::textChanged, box, [&session, box, limit, previousLength, fieldName] {
    const QString t = box->toPlainText();
    int length = StoredLength(t);
    // A shown report is never cut: only what the user types or pastes is.
    if (length <= limit || box->isReadOnly()) {
      *previousLength = length;
      return;
    }
    const bool pasted = length - *previousLength > 2;
    // Keep the longest beginning that fits.
    int keep = 0;
    int used = 0;
    while (keep < t.size()) {
      const int take = t.at(keep) == QLatin1Char('\n') ? 2 : 1;
      if (used + take > limit) break;
      used += take;
      ++keep;
    }
    if (keep < t.size() && t.at(keep - 1).isHighSurrogate()) --keep;
    box->setPlainText(t.left(keep));
    box->moveCursor(QTextCursor::End);
    *previousLength = StoredLength(box->toPlainText());
    if (pasted) TellCut(session, box, limit, fieldName(), true);
  });
}

bool CheckStorable(Session& session, QWidget* owner, QWidget* box, const QString& text, const QString& fieldName) {
  const auto lines = text::UnstorableTextLines(fieldName.toStdString(), text.toStdString());
  if (lines.empty()) return true;
  QStringList message;
  for (const auto& line : lines) message << QString::fromStdString(line);
  ShowNotice(session, owner, QString::fromLatin1(text::kUnstorableCaption), message.join(QLatin1Char('\n')),
             kIconWarning);
  if (box) box->setFocus();
  return false;
}

}  // namespace kestrova::gui

#pragma once

#include <QList>
#include <QString>
#include <optional>

class QWidget;

namespace kestrova::platform {

struct InputRequest {
  QString prompt;
  QString title;
  QString defaultText;
  bool password = false;
};

// Asks for one line of text; nothing when the user cancels.
class InputBox {
 public:
  virtual ~InputBox() = default;
  virtual std::optional<QString> Ask(const InputRequest& request, QWidget* parent) = 0;
};

// Widens a dialog so that the title bar shows its whole title.
void FitTitle(QWidget& dialog);

class QtInputBox : public InputBox {
 public:
  std::optional<QString> Ask(const InputRequest& request, QWidget* parent) override;
};

// Answers from a queue and records every request, for tests. An empty
// queue answers as a cancel.
class ScriptedInputBox : public InputBox {
 public:
  std::optional<QString> Ask(const InputRequest& request, QWidget*) override {
    requests.append(request);
    if (answers.isEmpty()) return std::nullopt;
    return answers.takeFirst();
  }
  QList<std::optional<QString>> answers;
  QList<InputRequest> requests;
};

}  // namespace kestrova::platform

#pragma once

#include <gtest/gtest.h>

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "gui/session/message_dialog.h"

namespace kestrova::testing {

// Answers the program's questions from a script and remembers each one.
//   answers.Press(1);            // the next question gets button 1
//   answers.Press(2, true);      // button 2 with "Don't show this again" ticked
//   ... run the window ...
//   EXPECT_EQ(answers.Last().caption, "Exit Kestrova?");
// A question nobody scripted fails the test and is answered 0, as the close
// box would.
class ScriptedMessages : public gui::MessageAnswerer {
 public:
  gui::MessageResult Answer(const gui::MessageRequest& request, QWidget* parent) override {
    asked.append(request);
    over.append(parent);
    if (onAsk) onAsk(request);
    if (queue_.isEmpty()) {
      if (failOnUnscripted) {
        ADD_FAILURE() << "Unexpected question \"" << request.caption.toStdString()
                      << "\": " << request.message.toStdString();
      }
      return {};
    }
    return queue_.takeFirst();
  }

  ScriptedMessages& Press(int button, bool dontAskAgain = false) {
    queue_.append({button, dontAskAgain});
    return *this;
  }
  const gui::MessageRequest& Last() const { return asked.last(); }
  int Pending() const { return static_cast<int>(queue_.size()); }

  QList<gui::MessageRequest> asked;
  QList<QPointer<QWidget>> over;  // the window each was asked over
  // Looks at the program's state while a question is open.
  std::function<void(const gui::MessageRequest&)> onAsk;
  bool failOnUnscripted = true;

 private:
  QList<gui::MessageResult> queue_;
};

}  // namespace kestrova::testing

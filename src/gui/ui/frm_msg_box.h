#pragma once

#include <QDialog>
#include <QList>

#include "core/controls/message_layout.h"
#include "gui/ui/message_request.h"

class QCheckBox;
class QFrame;
class QLabel;

namespace kestrova::platform {
class SoundPlayer;
class SystemMessage;
}  // namespace kestrova::platform

namespace kestrova::gui {

class ZelButton;

// The message dialog: a label, one button per caption, an optional
// "Don't show this again" box, laid out around its text.
class frmMsgBox : public QDialog {
  Q_OBJECT

 public:
  frmMsgBox(platform::SoundPlayer& sound, platform::SystemMessage& systemMessage, MessageRequest request,
            QWidget* parent = nullptr);

  // Lays out, shows modally and returns the answer. A message too big for
  // the screen gets the desktop's "Display issue" notice instead and 0.
  MessageResult Run();

  const controls::MessageLayout& layoutUsed() const { return layout_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  bool LayOut();
  void cmdMessageButton_Click(int index);

  platform::SoundPlayer& sound_;
  platform::SystemMessage& systemMessage_;
  MessageRequest request_;
  MessageResult result_;
  controls::MessageLayout layout_;
  QLabel* lblMessage_ = nullptr;
  QLabel* imgIcon_ = nullptr;
  QFrame* shpBand_ = nullptr;
  QCheckBox* chkDontAsk_ = nullptr;
  QList<ZelButton*> cmdMessageButton_;
};

// Shows the program's own message dialog, modally.
class DialogMessageAnswerer : public MessageAnswerer {
 public:
  DialogMessageAnswerer(platform::SoundPlayer& sound, platform::SystemMessage& systemMessage)
      : sound_(sound), systemMessage_(systemMessage) {}
  MessageResult Answer(const MessageRequest& request, QWidget* parent) override;

 private:
  platform::SoundPlayer& sound_;
  platform::SystemMessage& systemMessage_;
};

}  // namespace kestrova::gui

#pragma once

#include <QWidget>

class QLabel;

namespace kestrova::gui {

class ButtonFlasher;
class VersionCheck;
class Session;
class WindowSkeleton;
class ZelButton;

// The first window: the program's name, what it is, its version, and the
// way in (or out).
class frmTitlePage : public QWidget {
  Q_OBJECT

 public:
  explicit frmTitlePage(Session& session, QWidget* parent = nullptr);

  // Closes the window as the program's own step (after sign-in), without
  // the exit question; the pulse of "&Sign In" stops.
  void CloseByProgram();

  bool activated() const { return activated_; }
  bool autoUpdateCheck() const { return autoUpdateCheck_; }
  VersionCheck& versionCheck() { return *versionCheck_; }

  static constexpr int kWidthTwips = 8745;
  static constexpr int kHeightTwips = 4875;

 signals:
  // The sign-in's steps are done and the window has closed itself: the
  // administrative window is next.
  void SignInPassed();

 private:
  void Form_Load();
  // The first activation: labels, captions, this workstation counted, the
  // pulse of "&Sign In" armed for five seconds later. Later calls do nothing.
  void Form_Activate();
  void AbandonCheckWhenExiting();
  void cmdSignIn_Click();
  void cmdQuit_Click();
  void cmdUpdateCheck_MouseUp(int button, int x, int y);

  Session& session_;
  WindowSkeleton* skeleton_ = nullptr;
  bool activated_ = false;
  bool autoUpdateCheck_ = false;
  ButtonFlasher* flasher_ = nullptr;
  VersionCheck* versionCheck_ = nullptr;
  QLabel* imgBackground_ = nullptr;
  QLabel* labelAppTitle_ = nullptr;
  QLabel* labelAppDescription_ = nullptr;
  QLabel* labelVersion_ = nullptr;
  QLabel* labelLegal_ = nullptr;
  ZelButton* cmdSignIn_ = nullptr;
  ZelButton* cmdUpdateCheck_ = nullptr;
  ZelButton* cmdQuit_ = nullptr;
};

// The title window's artwork, drawn for the given size in pixels.
QPixmap TitleArtwork(const QSize& size);

}  // namespace kestrova::gui

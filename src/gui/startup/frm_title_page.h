#pragma once

#include <QWidget>

class QLabel;

namespace kestrova::gui {

class Session;
class ZelButton;

// The first window: the program's name, what it is, its version, and the
// way in (or out).
class frmTitlePage : public QWidget {
  Q_OBJECT

 public:
  explicit frmTitlePage(Session& session, QWidget* parent = nullptr);

  // Closes the window as the program's own step (after sign-in), without
  // the exit question.
  void CloseByProgram();

  static constexpr int kWidthTwips = 8745;
  static constexpr int kHeightTwips = 4875;

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Form_Load();
  void cmdQuit_Click();

  Session& session_;
  bool closingByProgram_ = false;
  QLabel* imgBackground_ = nullptr;
  QLabel* labelAppTitle_ = nullptr;
  QLabel* labelAppDescription_ = nullptr;
  QLabel* labelVersion_ = nullptr;
  QLabel* labelLegal_ = nullptr;
  ZelButton* cmdQuit_ = nullptr;
};

// The title window's artwork, drawn for the given size in pixels.
QPixmap TitleArtwork(const QSize& size);

// "Version w4.14.11": major and minor as "##", the revision as "####".
QString VersionCaption();

}  // namespace kestrova::gui

#pragma once

#include <QWidget>

class QLabel;

namespace kestrova::gui {

class Session;
class ZelButton;

// The main report window.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  explicit frmMain(Session& session, QWidget* parent = nullptr);

  static constexpr int kWidthTwips = 13035;
  static constexpr int kHeightTwips = 10750;

  void cmdUserInfo_Click();
  void cmdAdminWindow_Click();
  void cmdQuit_Click();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  Session& session_;
  bool closingByProgram_ = false;
  QLabel* lblSummary_ = nullptr;
  ZelButton* cmdHelp_ = nullptr;
  ZelButton* cmdUserInfo_ = nullptr;
  ZelButton* cmdAdminWindow_ = nullptr;
  ZelButton* cmdQuit_ = nullptr;
};

}  // namespace kestrova::gui

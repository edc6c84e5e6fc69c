#pragma once

#include <QDialog>

#include "gui/output/print_commands.h"

class QLabel;

namespace kestrova::gui {

class Session;
class ZelButton;

// The enlarged view of one of the report's pictures: the picture with its
// longer side 8000 twips, the window's caption naming the report, and a
// button that prints the picture. Esc or the return button closes it; it is
// dropped on closing, so the next view starts afresh.
class frmLargePic : public QDialog {
  Q_OBJECT

 public:
  frmLargePic(Session& session, ShownPicture picture, QWidget* parent = nullptr);

 private:
  void cmdPrintPic_Click();
  void cmdReturn_Click();

  Session& session_;
  ShownPicture picture_;
  QLabel* img_ = nullptr;
  ZelButton* cmdPrintPic_ = nullptr;
  ZelButton* cmdReturn_ = nullptr;
};

}  // namespace kestrova::gui

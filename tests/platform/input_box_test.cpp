#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QInputDialog>

#include "platform/input_box.h"

namespace kestrova::platform {
namespace {

// A short prompt makes a narrow dialog: the title bar would cut its title.
TEST(InputBoxTest, DialogIsWideEnoughForItsTitle) {
  QInputDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Confirm the Access Code of a rather long program title"));
  dialog.setLabelText(QStringLiteral("Code:"));
  const int narrow = dialog.sizeHint().width();
  FitTitle(dialog);
  dialog.show();
  const int title = QFontMetrics(dialog.font()).horizontalAdvance(dialog.windowTitle());
  EXPECT_LT(narrow, title) << "the case needs a title wider than the dialog";
  EXPECT_GT(dialog.width(), title);
}

}  // namespace
}  // namespace kestrova::platform

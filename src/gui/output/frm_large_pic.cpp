#include "gui/output/frm_large_pic.h"

#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <algorithm>

#include "core/output/picture_printout.h"
#include "gui/session/session.h"
#include "gui/session/window_skeleton.h"
#include "gui/ui/screen_room.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {

frmLargePic::frmLargePic(Session& session, ShownPicture picture, QWidget* parent)
    : QDialog(parent), session_(session), picture_(std::move(picture)) {
  setObjectName(QStringLiteral("frmLargePic"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(picture_.caption);
  const auto px = [](int twips) { return ToPixels(twips); };
  output::EnlargedPicture size = output::EnlargedPictureSize(picture_.width, picture_.height);
  // A screen too small for the enlarged picture (1366 x 768 at scale 1.25)
  // gets it smaller, the buttons and margins as they are: the window never
  // opens larger than the screen.
  if (const QScreen* s = screen(); s && size.pictureWidth > 0 && size.pictureHeight > 0) {
    const QRect room = s->availableGeometry();
    const double fit = std::min(
        {1.0,
         double(ToTwips(room.width() - kFrameRoomWidth) - (size.windowWidth - size.pictureWidth)) / size.pictureWidth,
         double(ToTwips(room.height() - kFrameRoomHeight) - (size.windowHeight - size.pictureHeight)) /
             size.pictureHeight});
    if (fit < 1.0) {
      const int margins = size.windowWidth - size.pictureWidth;
      const int below = size.windowHeight - size.pictureHeight;
      const int fromRight = size.windowWidth - size.returnLeft;
      size.pictureWidth = static_cast<int>(size.pictureWidth * fit);
      size.pictureHeight = static_cast<int>(size.pictureHeight * fit);
      size.windowWidth = std::max(size.pictureWidth + margins, 2 * fromRight + 200);  // both buttons
      size.windowHeight = size.pictureHeight + below;
      size.returnLeft = size.windowWidth - fromRight;
    }
  }

  img_ = new QLabel(this);
  img_->setObjectName(QStringLiteral("img"));
  img_->setScaledContents(true);
  QImageReader reader(picture_.path);
  reader.setAutoTransform(true);
  reader.setScaledSize(QSize(px(size.pictureWidth), px(size.pictureHeight)));
  img_->setPixmap(QPixmap::fromImage(reader.read()));
  img_->setToolTip(picture_.path);
  img_->setGeometry(px(150), px(150), px(size.pictureWidth), px(size.pictureHeight));

  const auto button = [this, px](const char* name, const QString& caption, const QString& tip) {
    auto* b = new ZelButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setCaption(caption);
    b->setToolTip(tip);
    // As wide as the design's button, or as its caption needs in the font.
    b->resize(std::max(px(700), b->sizeHint().width()), px(400));
    return b;
  };
  cmdPrintPic_ = button("cmdPrintPic", QStringLiteral("&Print"), QStringLiteral(" Print this picture "));
  cmdReturn_ = button("cmdReturn", QStringLiteral("&Return"), QStringLiteral(" Close this window <Esc> "));
  const int buttonsTop = px(150 + size.pictureHeight + 200);
  cmdPrintPic_->move(px(150), buttonsTop);
  // Its right edge where the design has it, however wide the caption made it.
  cmdReturn_->move(px(size.returnLeft + 700) - cmdReturn_->width(), buttonsTop);
  setFixedSize(px(size.windowWidth), px(size.windowHeight));
  connect(cmdPrintPic_, &ZelButton::Click, this, &frmLargePic::cmdPrintPic_Click);
  connect(cmdReturn_, &ZelButton::Click, this, &frmLargePic::cmdReturn_Click);
  new WindowSkeleton(session_, this, {.atShow = true});
}

void frmLargePic::cmdPrintPic_Click() { PrintShownPicture(session_, this, picture_); }

void frmLargePic::cmdReturn_Click() { close(); }

}  // namespace kestrova::gui

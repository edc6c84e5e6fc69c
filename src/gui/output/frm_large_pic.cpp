#include "gui/output/frm_large_pic.h"

#include <QImageReader>
#include <QLabel>
#include <QPixmap>

#include "core/output/picture_printout.h"
#include "gui/session/session.h"
#include "gui/session/window_skeleton.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {

frmLargePic::frmLargePic(Session& session, ShownPicture picture, QWidget* parent)
    : QDialog(parent), session_(session), picture_(std::move(picture)) {
  setObjectName(QStringLiteral("frmLargePic"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(picture_.caption);
  const output::EnlargedPicture size = output::EnlargedPictureSize(picture_.width, picture_.height);
  const auto px = [](int twips) { return ToPixels(twips); };

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
    b->resize(px(700), px(400));
    return b;
  };
  cmdPrintPic_ = button("cmdPrintPic", QStringLiteral("&Print"), QStringLiteral(" Print this picture "));
  cmdReturn_ = button("cmdReturn", QStringLiteral("&Return"), QStringLiteral(" Close this window <Esc> "));
  const int buttonsTop = px(150 + size.pictureHeight + 200);
  cmdPrintPic_->move(px(150), buttonsTop);
  cmdReturn_->move(px(size.returnLeft), buttonsTop);
  setFixedSize(px(size.windowWidth), px(size.windowHeight));
  connect(cmdPrintPic_, &ZelButton::Click, this, &frmLargePic::cmdPrintPic_Click);
  connect(cmdReturn_, &ZelButton::Click, this, &frmLargePic::cmdReturn_Click);
  new WindowSkeleton(session_, this, {.atShow = true});
}

void frmLargePic::cmdPrintPic_Click() { PrintShownPicture(session_, this, picture_); }

void frmLargePic::cmdReturn_Click() { close(); }

}  // namespace kestrova::gui

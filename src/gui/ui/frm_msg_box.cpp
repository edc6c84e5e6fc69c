#include "gui/ui/frm_msg_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>

#include "gui/ui/background.h"
#include "gui/ui/program_look.h"
#include "gui/ui/program_names.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "platform/sound.h"
#include "platform/system_message.h"

namespace kestrova::gui {
namespace {

QIcon IconOfKind(IconKind kind, const QStyle* style) {
  switch (kind) {
    case IconKind::None:
    case IconKind::Application:
      return QApplication::windowIcon().isNull() ? style->standardIcon(QStyle::SP_ComputerIcon)
                                                 : QApplication::windowIcon();
    case IconKind::Error: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case IconKind::Question: return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case IconKind::Warning: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case IconKind::Information: return style->standardIcon(QStyle::SP_MessageBoxInformation);
    default: return {};
  }
}

}  // namespace

frmMsgBox::frmMsgBox(platform::SoundPlayer& sound, platform::SystemMessage& systemMessage, MessageRequest request,
                     QWidget* parent)
    : QDialog(parent), sound_(sound), systemMessage_(systemMessage), request_(std::move(request)) {
  setObjectName(QStringLiteral("frmMsgBox"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
  setFont(ProgramFont());

  shpBand_ = new QFrame(this);
  shpBand_->setObjectName(QStringLiteral("shpBand"));
  shpBand_->setAutoFillBackground(true);
  QPalette band = shpBand_->palette();
  band.setColor(QPalette::Window, QColor(0, 0, 0, 28));
  shpBand_->setPalette(band);
  shpBand_->hide();

  imgIcon_ = new QLabel(this);
  imgIcon_->setObjectName(QStringLiteral("imgIcon"));

  lblMessage_ = new QLabel(this);
  lblMessage_->setObjectName(QStringLiteral("lblMessage"));
  lblMessage_->setTextFormat(Qt::PlainText);
  if (request_.copyable) lblMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  chkDontAsk_ = new QCheckBox(QStringLiteral("Don't show this again"), this);
  chkDontAsk_->setObjectName(QStringLiteral("chkDontAsk"));
  chkDontAsk_->hide();

  // Element 0 is never seen: it sits left of the window and answers Escape.
  auto* cancel = new ZelButton(this);
  cancel->setObjectName(QStringLiteral("cmdMessageButton0"));
  cancel->setCaption(QStringLiteral("Cancel"));
  cancel->setFocusPolicy(Qt::NoFocus);
  cmdMessageButton_.append(cancel);
  connect(cancel, &ZelButton::Click, this, [this] { cmdMessageButton_Click(0); });
}

bool frmMsgBox::LayOut() {
  const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  const QSize screenTwips = ScreenTwips(screen);
  const QFontMetrics fm(lblMessage_->font());
  // The label holds the message and one more line break, which the
  // measured text already counts as a line.
  const QString shown = request_.message + QLatin1Char('\n');
  QRect natural = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, shown);
  int labelWidth = ToTwips(natural.width(), screen);
  int labelHeight = ToTwips(natural.height(), screen);
  lblMessage_->setText(shown);
  if (const auto wrap = controls::MessageWrapWidth(labelWidth, screenTwips.width())) {
    lblMessage_->setWordWrap(true);
    const int widthPx = ToPixels(*wrap, screen);
    const QRect wrapped =
        fm.boundingRect(QRect(0, 0, widthPx, 100000), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown);
    labelWidth = *wrap;
    labelHeight = ToTwips(wrapped.height(), screen);
  }
  const QFontMetrics buttonMetrics(font());
  std::vector<double> widths;
  for (const QString& caption : request_.buttons) {
    widths.push_back(buttonMetrics.horizontalAdvance(QLatin1Char(' ') + caption + QLatin1Char(' ')) *
                     TwipsPerPixel(screen));
  }
  const QFontMetrics titleMetrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  const int captionWidth = ToTwips(titleMetrics.horizontalAdvance(request_.caption), screen);
  layout_ = controls::LayoutMessageDialog(labelWidth, labelHeight, widths, request_.showCheckBox, screenTwips.width(),
                                          screenTwips.height(), captionWidth);
  if (layout_.tooBig) return false;

  setWindowTitle(request_.caption);
  setFixedSize(ToPixels(layout_.dialogWidth, screen), ToPixels(layout_.dialogHeight, screen));
  lblMessage_->setGeometry(ToPixels(controls::kMessageLabelLeft, screen), ToPixels(controls::kMessageLabelTop, screen),
                           ToPixels(labelWidth, screen), ToPixels(labelHeight, screen));
  for (int i = 0; i < request_.buttons.size(); ++i) {
    auto* button = new ZelButton(this);
    button->setObjectName(QStringLiteral("cmdMessageButton%1").arg(i + 1));
    button->setCaption(QLatin1Char(' ') + request_.buttons[i] + QLatin1Char(' '));
    button->setGeometry(ToPixels(layout_.buttonLefts[static_cast<std::size_t>(i)], screen),
                        ToPixels(layout_.buttonTop, screen),
                        ToPixels(layout_.buttonWidths[static_cast<std::size_t>(i)], screen),
                        ToPixels(controls::kMessageButtonHeight, screen));
    button->show();
    cmdMessageButton_.append(button);
    connect(button, &ZelButton::Click, this, [this, i] { cmdMessageButton_Click(i + 1); });
  }
  if (request_.defaultButton >= 1 && request_.defaultButton <= request_.buttons.size()) {
    cmdMessageButton_[request_.defaultButton]->setFocus();
    // Enter presses it also after a click on the check box took the focus.
    SetDefaultButton(this, cmdMessageButton_[request_.defaultButton]);
  }
  ZelButton* cancel = cmdMessageButton_[0];
  cancel->setGeometry(ToPixels(controls::kMessageCancelLeft, screen), ToPixels(layout_.buttonTop, screen),
                      ToPixels(480, screen), ToPixels(controls::kMessageButtonHeight, screen));
  cancel->show();
  SetCancelButton(this, cancel);

  const QIcon icon = IconOfKind(request_.iconKind, style());
  if (!icon.isNull()) {
    imgIcon_->setPixmap(icon.pixmap(32, 32));
    imgIcon_->setGeometry(9, 10, 32, 32);
  }
  const int kind = static_cast<int>(request_.iconKind);
  if (kind >= 0 && kind <= 5) sound_.Alert(kind);

  shpBand_->setGeometry(ToPixels(layout_.bandLeft, screen), ToPixels(layout_.bandTop, screen),
                        ToPixels(layout_.bandWidth, screen), ToPixels(layout_.bandHeight, screen));
  shpBand_->lower();
  shpBand_->show();
  if (request_.showCheckBox) {
    chkDontAsk_->setChecked(false);
    chkDontAsk_->adjustSize();
    chkDontAsk_->move(ToPixels(layout_.checkLeft, screen), ToPixels(layout_.checkTop, screen));
    chkDontAsk_->show();
  }
  return true;
}

MessageResult frmMsgBox::Run() {
  result_ = {};
  if (!LayOut()) {
    QApplication::processEvents();
    systemMessage_.ShowCritical(QStringLiteral("Display issue"),
                                ApplicationTitle() + QStringLiteral(" is trying to display a message\n") +
                                    QStringLiteral("that is too big for your screen resolution.\n\n") +
                                    QStringLiteral("Please contact ") + MakerName() + QStringLiteral(" about this."),
                                parentWidget());
    return result_;
  }
  // Over the window that asks, once it stands where the window manager put
  // it; on the screen's centre when there is none.
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  const QRect over = owner && owner->isVisible() ? owner->frameGeometry()
                     : screen()                  ? screen()->availableGeometry()
                                                 : QRect();
  if (over.isValid()) move(over.center() - QPoint(width() / 2, height() / 2));
  exec();
  return result_;
}

void frmMsgBox::cmdMessageButton_Click(int index) {
  result_.pressedButton = index;
  result_.dontAskAgain = request_.showCheckBox && chkDontAsk_->isChecked();
  accept();
}

void frmMsgBox::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (request_.defaultButton >= 1 && request_.defaultButton < cmdMessageButton_.size()) {
    cmdMessageButton_[request_.defaultButton]->setFocus();
  } else {
    // No valid default: no button is to have the focus.
    setFocus(Qt::OtherFocusReason);
  }
}

void frmMsgBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TileBackground(p, BackgroundTile(), rect());
}

MessageResult DialogMessageAnswerer::Answer(const MessageRequest& request, QWidget* parent) {
  frmMsgBox dialog(sound_, systemMessage_, request, parent);
  return dialog.Run();
}

}  // namespace kestrova::gui

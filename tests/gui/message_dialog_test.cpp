#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/ui/frm_msg_box.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "support/gui_session.h"

namespace kestrova::gui {
namespace {

using testing::GuiSession;

// Waits for the message dialog to open, then hands it to the step.
void WhenDialogOpens(std::function<void(frmMsgBox*)> step) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  auto tries = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, step, tries] {
    auto* dialog = qobject_cast<frmMsgBox*>(QApplication::activeModalWidget());
    // Wait until it is the active window, so the keyboard focus is settled.
    if ((!dialog || !dialog->isActiveWindow()) && ++*tries < 400) return;
    poll->stop();
    poll->deleteLater();
    if (!dialog) {
      ADD_FAILURE() << "the message dialog did not open";
      return;
    }
    step(dialog);
  });
  poll->start();
}

MessageRequest ExitQuestion() {
  MessageRequest r;
  r.caption = QStringLiteral("Exit Kestrova?");
  r.iconKind = kIconQuestion;
  r.message = QStringLiteral("This will close Kestrova.\n\nIs this what you want to do?");
  r.defaultButton = 1;
  r.buttons = {QStringLiteral("&Yes, exit Kestrova"), QStringLiteral("&No, don't quit yet")};
  return r;
}

ZelButton* Button(frmMsgBox* d, int i) { return d->findChild<ZelButton*>(QStringLiteral("cmdMessageButton%1").arg(i)); }

TEST(MessageDialog, TheDefaultButtonHasTheFocusAndTheSpaceBarPressesIt) {
  GuiSession g(false);
  QString focused;
  QString caption;
  WhenDialogOpens([&](frmMsgBox* d) {
    caption = d->windowTitle();
    focused = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    QTest::keyPress(Button(d, 1), Qt::Key_Space);
    QTest::keyRelease(Button(d, 1), Qt::Key_Space);
  });
  const MessageResult r = ShowMessage(*g.session, ExitQuestion());
  EXPECT_EQ(caption, QStringLiteral("Exit Kestrova?"));
  EXPECT_EQ(focused, QStringLiteral("cmdMessageButton1"));
  EXPECT_EQ(r.pressedButton, 1);
  EXPECT_FALSE(r.dontAskAgain);
  EXPECT_EQ(g.sound->alerts, QList<int>{3});
}

TEST(MessageDialog, EscapeAnswersNought) {
  GuiSession g(false);
  WhenDialogOpens([](frmMsgBox* d) { QTest::keyClick(d, Qt::Key_Escape); });
  EXPECT_EQ(ShowMessage(*g.session, ExitQuestion()).pressedButton, 0);
}

TEST(MessageDialog, ButtonsShowTheirCaptionsBetweenBlanksAndAnswerTheirNumber) {
  GuiSession g(false);
  QStringList captions;
  WhenDialogOpens([&](frmMsgBox* d) {
    captions = {Button(d, 1)->Caption(), Button(d, 2)->Caption()};
    QTest::mouseClick(Button(d, 2), Qt::LeftButton);
  });
  EXPECT_EQ(ShowMessage(*g.session, ExitQuestion()).pressedButton, 2);
  EXPECT_EQ(captions, (QStringList{QStringLiteral(" &Yes, exit Kestrova "), QStringLiteral(" &No, don't quit yet ")}));
}

TEST(MessageDialog, TheCheckBoxCountsOnlyWithAButton) {
  GuiSession g(false);
  MessageRequest r = ExitQuestion();
  r.showCheckBox = true;
  WhenDialogOpens([&](frmMsgBox* d) {
    auto* box = d->findChild<QCheckBox*>(QStringLiteral("chkDontAsk"));
    ASSERT_TRUE(box && box->isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("Don't show this again"));
    EXPECT_FALSE(box->isChecked());
    box->setChecked(true);
    QTest::mouseClick(Button(d, 2), Qt::LeftButton);
  });
  MessageResult answered = ShowMessage(*g.session, r);
  EXPECT_EQ(answered.pressedButton, 2);
  EXPECT_TRUE(answered.dontAskAgain);

  // Ticked, then closed with the close box: nought, and no promise kept.
  WhenDialogOpens([&](frmMsgBox* d) {
    d->findChild<QCheckBox*>(QStringLiteral("chkDontAsk"))->setChecked(true);
    d->windowHandle()->close();
  });
  answered = ShowMessage(*g.session, r);
  EXPECT_EQ(answered.pressedButton, 0);
  EXPECT_FALSE(answered.dontAskAgain);
}

TEST(MessageDialog, EnterPressesTheDefaultAfterTheCheckBoxWasTicked) {
  GuiSession g(false);
  MessageRequest r = ExitQuestion();
  r.defaultButton = 2;
  r.showCheckBox = true;
  WhenDialogOpens([&](frmMsgBox* d) {
    auto* box = d->findChild<QCheckBox*>(QStringLiteral("chkDontAsk"));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    EXPECT_TRUE(box->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // Still open: Escape ends it (and the test fails) rather than waiting for ever.
    QTimer::singleShot(500, d, [d] { QTest::keyClick(d, Qt::Key_Escape); });
  });
  const MessageResult answered = ShowMessage(*g.session, r);
  EXPECT_EQ(answered.pressedButton, 2);
  EXPECT_TRUE(answered.dontAskAgain);
}

TEST(MessageDialog, TheTitleBarNeverCutsTheCaption) {
  GuiSession g(false);
  MessageRequest r;
  r.caption = QStringLiteral("Unrecognizable Date");
  r.iconKind = kIconError;
  r.message = QStringLiteral("1/5\n\ndoesn't appear to be\na valid date.");
  r.buttons = {QStringLiteral("&Okay")};
  int width = 0;
  WhenDialogOpens([&](frmMsgBox* d) {
    width = d->width();
    QTest::mouseClick(Button(d, 1), Qt::LeftButton);
  });
  ShowMessage(*g.session, r);
  const QFontMetrics title(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  EXPECT_GE(width, title.horizontalAdvance(r.caption) + ToPixels(controls::kTitleBarButtonsWidth) - 1);
  EXPECT_GE(controls::kTitleBarButtonsWidth, ToTwips(120)) << "120 pixels at scale 1 for the title bar's buttons";
}

TEST(MessageDialog, LaysItselfOutInTwips) {
  GuiSession g(false);
  MessageRequest r;
  r.caption = QStringLiteral("Nothing on file");
  r.message = QStringLiteral("There are no reports to show.");
  r.buttons = {QStringLiteral("&Okay")};
  r.showCheckBox = true;
  WhenDialogOpens([&](frmMsgBox* d) {
    const controls::MessageLayout& l = d->layoutUsed();
    auto* label = d->findChild<QLabel*>(QStringLiteral("lblMessage"));
    const int labelTwips = ToTwips(label->width());
    EXPECT_GE(l.dialogWidth, labelTwips + 1100 - 15);
    EXPECT_EQ(l.buttonLefts.size(), 1u);
    EXPECT_NEAR(l.buttonLefts[0], l.dialogWidth / 2.0 - l.buttonsTotal / 2.0, 1);
    EXPECT_EQ(d->width(), ToPixels(l.dialogWidth));
    EXPECT_EQ(d->height(), ToPixels(l.dialogHeight));
    EXPECT_EQ(label->pos(), QPoint(ToPixels(780), ToPixels(250)));
    const QFontMetrics fm(label->font());
    EXPECT_NEAR(label->height(), 2 * fm.lineSpacing(), 2) << "the message line and the line break after it";
    ZelButton* okay = Button(d, 1);
    EXPECT_EQ(okay->geometry().topLeft(), QPoint(ToPixels(l.buttonLefts[0]), ToPixels(l.buttonTop)));
    EXPECT_EQ(okay->height(), ToPixels(400));
    auto* box = d->findChild<QCheckBox*>(QStringLiteral("chkDontAsk"));
    EXPECT_EQ(box->pos(), QPoint(ToPixels(100), ToPixels(l.buttonTop + 400 + 100)));
    ZelButton* hidden = Button(d, 0);
    EXPECT_LT(hidden->geometry().right(), 0) << "the cancel button stays out of sight";
    EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("imgIcon"))->pos(), QPoint(9, 10));
    QTest::mouseClick(okay, Qt::LeftButton);
  });
  EXPECT_EQ(ShowMessage(*g.session, r).pressedButton, 1);
}

TEST(MessageDialog, ALongLineWrapsAtTheScreensAllowance) {
  GuiSession g(false);
  MessageRequest r;
  r.caption = QStringLiteral("Long");
  r.message = QString(QStringLiteral("word ")).repeated(400);
  r.buttons = {QStringLiteral("&Okay")};
  const int screen = ScreenTwips().width();
  WhenDialogOpens([&](frmMsgBox* d) {
    auto* label = d->findChild<QLabel*>(QStringLiteral("lblMessage"));
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->width(), ToPixels(std::min(screen - 3000, 12000)));
    QTest::keyClick(d, Qt::Key_Escape);
  });
  ShowMessage(*g.session, r);
}

TEST(MessageDialog, AnUnknownIconKindShowsNoIconAndMakesNoSound) {
  GuiSession g(false);
  MessageRequest r = ExitQuestion();
  r.iconKind = static_cast<IconKind>(7);
  bool hasIcon = true;
  WhenDialogOpens([&](frmMsgBox* d) {
    hasIcon = !d->findChild<QLabel*>(QStringLiteral("imgIcon"))->pixmap().isNull();
    QTest::keyClick(d, Qt::Key_Escape);
  });
  ShowMessage(*g.session, r);
  EXPECT_FALSE(hasIcon);
  EXPECT_TRUE(g.sound->alerts.isEmpty());
}

TEST(MessageDialog, AnInvalidDefaultButtonFocusesNone) {
  GuiSession g(false);
  MessageRequest r = ExitQuestion();
  r.defaultButton = 9;
  QString focused = QStringLiteral("?");
  WhenDialogOpens([&](frmMsgBox* d) {
    QWidget* f = QApplication::focusWidget();
    focused = f && f->inherits("kestrova::gui::ZelButton") ? f->objectName() : QString();
    QTest::mouseClick(Button(d, 1), Qt::LeftButton);
  });
  EXPECT_EQ(ShowMessage(*g.session, r).pressedButton, 1);
  EXPECT_FALSE(focused.startsWith(QStringLiteral("cmdMessageButton"))) << focused.toStdString();
}

TEST(MessageDialog, TooBigForTheScreenGivesTheDisplayIssueNoticeAndNought) {
  GuiSession g(false);
  MessageRequest r;
  r.caption = QStringLiteral("Huge");
  QStringList lines;
  for (int i = 0; i < 400; ++i) lines << QStringLiteral("line %1").arg(i);
  r.message = lines.join(QLatin1Char('\n'));
  r.buttons = {QStringLiteral("&Okay")};
  const MessageResult result = ShowMessage(*g.session, r);
  EXPECT_EQ(result.pressedButton, 0);
  ASSERT_EQ(g.systemMessage->shown.size(), 1);
  EXPECT_EQ(g.systemMessage->shown[0].title, QStringLiteral("Display issue"));
  EXPECT_EQ(g.systemMessage->shown[0].text, QStringLiteral("Kestrova is trying to display a message\n"
                                                           "that is too big for your screen resolution.\n\n"
                                                           "Please contact the Kestrova team about this."));
}

}  // namespace
}  // namespace kestrova::gui

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <memory>

#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

struct Fixture {
  Fixture() {
    window = std::make_unique<QWidget>();
    window->resize(300, 200);
    button = new ZelButton(window.get());
    button->setObjectName(QStringLiteral("cmdTest"));
    button->setGeometry(20, 20, 120, 32);
    button->setCaption(QStringLiteral("&Save"));
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  std::unique_ptr<QWidget> window;
  ZelButton* button;
};

TEST(ZelButton, ALeftClickRaisesDownUpAndClickInThatOrder) {
  Fixture f;
  QStringList events;
  QObject::connect(f.button, &ZelButton::MouseDown,
                   [&](int b, int, int, int) { events << QStringLiteral("down%1").arg(b); });
  QObject::connect(f.button, &ZelButton::MouseUp,
                   [&](int b, int, int, int) { events << QStringLiteral("up%1").arg(b); });
  QObject::connect(f.button, &ZelButton::Click, [&] { events << QStringLiteral("click"); });
  QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(f.button->IsDrawnPressed());
  QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(f.button->IsDrawnPressed());
  EXPECT_EQ(events, (QStringList{QStringLiteral("down1"), QStringLiteral("up1"), QStringLiteral("click")}));
}

TEST(ZelButton, ARightPressNeitherLooksPressedNorClicks) {
  Fixture f;
  QSignalSpy clicks(f.button, &ZelButton::Click);
  QSignalSpy downs(f.button, &ZelButton::MouseDown);
  QTest::mousePress(f.button, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_FALSE(f.button->IsDrawnPressed());
  QTest::mouseRelease(f.button, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks.count(), 0);
  ASSERT_EQ(downs.count(), 1);
  EXPECT_EQ(downs[0][0].toInt(), ZelButton::kRightButton);
}

TEST(ZelButton, ReleasingOutsideTheButtonDoesNotClick) {
  Fixture f;
  QSignalSpy clicks(f.button, &ZelButton::Click);
  QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(500, 10));
  EXPECT_EQ(clicks.count(), 0);
}

TEST(ZelButton, TheSpaceBarTogglesACheckBoxButtonOnce) {
  Fixture f;
  f.button->setCheckBoxBehaviour(true);
  f.button->setFocus();
  QSignalSpy clicks(f.button, &ZelButton::Click);
  QTest::keyPress(f.button, Qt::Key_Space);
  EXPECT_TRUE(f.button->IsDrawnPressed());
  QTest::keyRelease(f.button, Qt::Key_Space);
  EXPECT_TRUE(f.button->Value());
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_TRUE(f.button->IsDrawnPressed()) << "a ticked check-box button stays down";
  QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(f.button->Value());
  EXPECT_FALSE(f.button->IsDrawnPressed());
  EXPECT_EQ(clicks.count(), 2);
}

TEST(ZelButton, TheAccessKeyClicks) {
  Fixture f;
  QSignalSpy clicks(f.button, &ZelButton::Click);
  QTest::keyClick(f.window.get(), Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);
  f.button->setCaption(QStringLiteral("Fish && Chips"));
  QTest::keyClick(f.window.get(), Qt::Key_S, Qt::AltModifier);
  QTest::keyClick(f.window.get(), Qt::Key_C, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1) << "a doubled ampersand is no access key";
}

TEST(ZelButton, ADisabledButtonIgnoresClicksAndItsAccessKey) {
  Fixture f;
  QSignalSpy clicks(f.button, &ZelButton::Click);
  f.button->setEnabled(false);
  QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::keyClick(f.window.get(), Qt::Key_S, Qt::AltModifier);
  f.button->PerformClick();
  EXPECT_EQ(clicks.count(), 0);
}

TEST(ZelButton, ADisabledButtonCaughtMidPulseIsDrawnInItsRestingColours) {
  Fixture f;
  ZelButton* b = MakeCommandButton(f.window.get(), QStringLiteral("cmdEditList"), QColor(128, 255, 128));
  b->setCaption(QStringLiteral("&Finished editing"));
  b->setGeometry(20, 80, 150, 32);
  b->show();
  b->setBackColor(QColor(0, 4, 0));  // a pulse at its darkest
  b->setForeColor(QColor(0, 252, 0));
  f.window->setEnabled(false);  // as while a user is deleted
  const QImage drawn = b->grab().toImage();
  const QColor face = drawn.pixelColor(6, drawn.height() / 2);
  EXPECT_GT(face.lightness(), 160) << "not black: " << face.name().toStdString();
  f.window->setEnabled(true);
  EXPECT_LT(b->grab().toImage().pixelColor(6, drawn.height() / 2).lightness(), 60) << "enabled, the pulse shows";
}

TEST(ZelButton, EnterAndEscapePressTheMarkedButtons) {
  Fixture f;
  auto* cancel = new ZelButton(f.window.get());
  cancel->setGeometry(150, 20, 100, 32);
  cancel->show();
  SetDefaultButton(f.window.get(), f.button);
  SetCancelButton(f.window.get(), cancel);
  QSignalSpy saves(f.button, &ZelButton::Click);
  QSignalSpy cancels(cancel, &ZelButton::Click);
  cancel->setFocus();
  QTest::keyClick(f.window.get(), Qt::Key_Return);
  QTest::keyClick(f.window.get(), Qt::Key_Escape);
  EXPECT_EQ(saves.count(), 1);
  EXPECT_EQ(cancels.count(), 1);
  SetDefaultButton(f.window.get(), nullptr);
  QTest::keyClick(f.window.get(), Qt::Key_Return);
  EXPECT_EQ(saves.count(), 1) << "the mark was cleared";
}

TEST(ZelButton, EnterPressesTheFocusedButtonBeforeTheDefault) {
  Fixture f;
  auto* other = new ZelButton(f.window.get());
  other->setGeometry(150, 20, 100, 32);
  other->show();
  SetDefaultButton(f.window.get(), f.button);
  QSignalSpy defaults(f.button, &ZelButton::Click);
  QSignalSpy focused(other, &ZelButton::Click);
  other->setFocus();
  QTest::keyClick(other, Qt::Key_Return);
  EXPECT_EQ(focused.count(), 1);
  EXPECT_EQ(defaults.count(), 0);
}

TEST(ZelButton, HoverStartsTheOverTimerWhichNoticesTheMouseLeaving) {
  Fixture f;
  bool over = true;
  f.button->setCursorProbe([&] { return over; });
  f.button->setColorScheme(2);
  f.button->setBackColor(QColor(10, 20, 30));
  f.button->setBackOver(QColor(200, 150, 100));
  QSignalSpy in(f.button, &ZelButton::MouseIn);
  QSignalSpy overs(f.button, &ZelButton::MouseOver);
  QSignalSpy out(f.button, &ZelButton::MouseOut);
  QTest::mouseMove(f.button, QPoint(10, 10));
  EXPECT_EQ(in.count(), 1);
  EXPECT_EQ(overs.count(), 1);
  EXPECT_TRUE(f.button->IsHovered());
  EXPECT_TRUE(f.button->IsOverTimerRunning());
  EXPECT_EQ(f.button->Palette().face, (controls::Rgb{200, 150, 100})) << "scheme 2 hovers in BackOver";
  // The mouse leaves without another move over the button.
  over = false;
  EXPECT_TRUE(QTest::qWaitFor([&] { return out.count() == 1; }, 2000));
  EXPECT_FALSE(f.button->IsHovered());
  EXPECT_FALSE(f.button->IsOverTimerRunning());
  EXPECT_EQ(f.button->Palette().face, (controls::Rgb{10, 20, 30}));
}

TEST(ZelButton, AssistiveTechnologySeesANamedPushButtonItCanPress) {
  Fixture f;
  auto* other = new ZelButton(f.window.get());
  other->setGeometry(20, 80, 120, 32);
  other->show();
  f.button->setCaption(QStringLiteral("&Sign In"));
  f.button->setToolTip(QStringLiteral(" Sign the highlighted user in... "));
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f.button);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->role(), QAccessible::Button);
  EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Sign In"));
  EXPECT_EQ(a->text(QAccessible::Description), QStringLiteral("Sign the highlighted user in..."));
  EXPECT_EQ(a->text(QAccessible::Accelerator), QStringLiteral("Alt+S"));
  f.button->setCaption(QStringLiteral("Fish && &Chips"));
  EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Fish & Chips")) << "follows the caption";

  other->setFocus();
  EXPECT_TRUE(a->state().focusable);
  EXPECT_FALSE(a->state().focused);
  f.button->setFocus();
  EXPECT_TRUE(a->state().focused);
  EXPECT_FALSE(a->state().disabled);
  EXPECT_FALSE(a->state().checkable);

  QSignalSpy clicks(f.button, &ZelButton::Click);
  QAccessibleActionInterface* act = a->actionInterface();
  ASSERT_NE(act, nullptr);
  ASSERT_TRUE(act->actionNames().contains(QAccessibleActionInterface::pressAction()));
  act->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() == 1; }, 1000));

  f.button->setEnabled(false);
  EXPECT_TRUE(a->state().disabled) << "shown as unavailable";
  act->doAction(QAccessibleActionInterface::pressAction());
  QCoreApplication::processEvents();
  EXPECT_EQ(clicks.count(), 1) << "a disabled button is not pressed";

  // A button parked outside its window is not offered.
  other->move(-500, 80);
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(other)->state().invisible);
  EXPECT_FALSE(a->state().invisible);
}

TEST(ZelButton, AssistiveTechnologySeesACheckBoxButtonAsACheckBox) {
  Fixture f;
  f.button->setCheckBoxBehaviour(true);
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f.button);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->role(), QAccessible::CheckBox);
  EXPECT_TRUE(a->state().checkable);
  EXPECT_FALSE(a->state().checked);
  a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(QTest::qWaitFor([&] { return f.button->Value(); }, 1000));
  EXPECT_TRUE(a->state().checked);
}

TEST(ZelButton, TypeThreeHasRoundedCornersInItsWindow) {
  Fixture f;
  f.button->setButtonType(3);
  const QRegion region = f.button->mask();
  EXPECT_FALSE(region.contains(QPoint(0, 0)));
  EXPECT_FALSE(region.contains(QPoint(1, 0)));
  EXPECT_FALSE(region.contains(QPoint(0, 1)));
  EXPECT_TRUE(region.contains(QPoint(2, 0)));
  EXPECT_TRUE(region.contains(QPoint(1, 1)));
  EXPECT_FALSE(region.contains(QPoint(119, 31)));
  f.button->setButtonType(2);
  EXPECT_TRUE(f.button->mask().isEmpty()) << "other types keep the whole rectangle";
}

TEST(ZelButton, PropertiesComeFromAndGoToTheDesignBag) {
  Fixture f;
  QVariantMap bag;
  bag.insert(QStringLiteral("BTYPE"), 3);
  bag.insert(QStringLiteral("tx"), QStringLiteral("&Go"));
  bag.insert(QStringLiteral("Enab"), false);
  bag.insert(QStringLiteral("bcol"), 0x0000C0u);
  f.button->ReadProperties(bag);
  EXPECT_EQ(f.button->ButtonType(), 3);
  EXPECT_EQ(f.button->Caption(), QStringLiteral("&Go"));
  EXPECT_FALSE(f.button->isEnabled());
  EXPECT_EQ(f.button->BackColor(), QColor(192, 0, 0));
  EXPECT_EQ(f.button->BackOver(), QColor(192, 0, 0)) << "BackOver defaults to BackColor";
  EXPECT_EQ(f.button->ColorScheme(), 1);
  EXPECT_TRUE(f.button->ShowFocusRect());
  EXPECT_EQ(f.button->MaskColor(), QColor(192, 192, 192));
  EXPECT_TRUE(f.button->UseMaskColor());
  EXPECT_FALSE(f.button->CheckBoxBehaviour());

  const QVariantMap written = f.button->WriteProperties();
  EXPECT_EQ(written.value(QStringLiteral("btype")).toInt(), 3);
  EXPECT_EQ(written.value(QStringLiteral("tx")).toString(), QStringLiteral("&Go"));
  EXPECT_EQ(written.value(QStringLiteral("enab")).toBool(), false);
  EXPECT_EQ(written.value(QStringLiteral("bcol")).toUInt(), 0x0000C0u);
  EXPECT_FALSE(written.contains(QStringLiteral("bcolo")));
  EXPECT_FALSE(written.contains(QStringLiteral("coltype")));
  EXPECT_EQ(written.size(), 4) << QStringList(written.keys()).join(QLatin1Char(',')).toStdString();
  EXPECT_EQ(ZelButton::Version(), QStringLiteral("w2008.08.09"));
}

TEST(ZelButton, EveryTypeDraws) {
  Fixture f;
  for (int type = 1; type <= 14; ++type) {
    f.button->setButtonType(type);
    const QImage normal = f.button->grab().toImage();
    QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(10, 10));
    const QImage pressed = f.button->grab().toImage();
    QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_NE(normal, pressed) << "type " << type << " shows when it is pressed";
  }
}

}  // namespace
}  // namespace kestrova::gui

#pragma once

#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>
#include <functional>

#include "core/controls/button_rules.h"

namespace kestrova::gui {

// The program's command button: owner-drawn in one of fourteen types and
// four colour schemes, with hover colours, an optional picture, and an
// optional two-state (check box) behaviour. Every command button of the
// program is one of these.
class ZelButton : public QWidget {
  Q_OBJECT

 public:
  explicit ZelButton(QWidget* parent = nullptr);
  ~ZelButton() override;

  // Mouse buttons and shift states as the events report them.
  static constexpr int kLeftButton = 1;
  static constexpr int kRightButton = 2;
  static constexpr int kMiddleButton = 4;

  int ButtonType() const { return buttonType_; }
  void setButtonType(int type);
  QString Caption() const { return caption_; }
  void setCaption(const QString& caption);
  bool Enabled() const { return isEnabled(); }
  void setEnabledState(bool enabled) { setEnabled(enabled); }
  int ColorScheme() const { return colorScheme_; }
  void setColorScheme(int scheme);
  bool ShowFocusRect() const { return showFocusRect_; }
  void setShowFocusRect(bool show);
  QColor BackColor() const { return backColor_; }
  void setBackColor(const QColor& color);
  QColor BackOver() const { return backOver_; }
  void setBackOver(const QColor& color);
  QColor ForeColor() const { return foreColor_; }
  void setForeColor(const QColor& color);
  QColor ForeOver() const { return foreOver_; }
  void setForeOver(const QColor& color);
  QColor MaskColor() const { return maskColor_; }
  void setMaskColor(const QColor& color);
  int MousePointer() const { return mousePointer_; }
  void setMousePointer(int pointer);
  QPixmap MouseIcon() const { return mouseIcon_; }
  void setMouseIcon(const QPixmap& icon);
  QPixmap PictureNormal() const { return pictureNormal_; }
  void setPictureNormal(const QPixmap& picture);
  QPixmap PictureOver() const { return pictureOver_; }
  void setPictureOver(const QPixmap& picture);
  bool UseMaskColor() const { return useMaskColor_; }
  void setUseMaskColor(bool use);
  bool SoftBevel() const { return softBevel_; }
  void setSoftBevel(bool soft);
  int PicturePosition() const { return picturePosition_; }
  void setPicturePosition(int position);
  bool UseGreyscale() const { return useGreyscale_; }
  void setUseGreyscale(bool use);
  int SpecialEffect() const { return specialEffect_; }
  void setSpecialEffect(int effect);
  bool CheckBoxBehaviour() const { return checkBoxBehaviour_; }
  void setCheckBoxBehaviour(bool on);
  bool Value() const { return value_; }
  void setValue(bool value);

  WId hwnd() { return winId(); }
  static QString Version() { return QStringLiteral("w2008.08.09"); }
  void Refresh();

  // Reads the properties kept in a window's design (keys without regard to
  // case; absent keys take the defaults) and writes those that differ from
  // the defaults.
  void ReadProperties(const QVariantMap& bag);
  QVariantMap WriteProperties() const;

  // The colours of this drawing, and whether the button is hovered or drawn pressed.
  controls::ButtonPalette Palette() const;
  bool IsHovered() const { return hover_; }
  bool IsDrawnPressed() const { return drawnPressed_; }
  bool IsOverTimerRunning() const { return overTimer_.isActive(); }
  // Clicks the button as its access key, or a default or cancel mark, does.
  void PerformClick();

  // Where the mouse is, for hover tracking; tests replace it.
  void setCursorProbe(std::function<bool()> probe) { cursorProbe_ = std::move(probe); }

  QSize sizeHint() const override;

 signals:
  void Click();
  void MouseDown(int button, int shift, int x, int y);
  void MouseMove(int button, int shift, int x, int y);
  void MouseUp(int button, int shift, int x, int y);
  void KeyPress(int keyAscii);
  void KeyDown(int keyCode, int shift);
  void KeyUp(int keyCode, int shift);
  void MouseOver();
  void MouseIn();
  void MouseOut();

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void Redraw(bool pressed, bool force = false);
  void ClickAction();
  // Tells assistive technology that the check-box state changed.
  void ValueChanged();
  void OverTimer_Timer();
  void UpdateShortcut();
  void UpdateRegion();
  void UpdateCursor();
  void CaptureBackground();
  bool CursorOverMe() const;
  void DrawFace(QPainter& p, const controls::ButtonPalette& pal, const QRect& r, bool pressed) const;
  void DrawPicture(QPainter& p, const QRect& client, bool pressed) const;
  void DrawCaption(QPainter& p, const controls::ButtonPalette& pal, const QRect& client, bool pressed) const;

  int buttonType_ = 2;
  QString caption_;
  int colorScheme_ = 1;
  bool showFocusRect_ = true;
  QColor backColor_;
  QColor backOver_;
  QColor foreColor_;
  QColor foreOver_;
  QColor maskColor_{192, 192, 192};
  int mousePointer_ = 0;
  QPixmap mouseIcon_;
  QPixmap pictureNormal_;
  QPixmap pictureOver_;
  bool useMaskColor_ = true;
  bool softBevel_ = false;
  int picturePosition_ = 0;
  bool useGreyscale_ = false;
  int specialEffect_ = 0;
  bool checkBoxBehaviour_ = false;
  bool value_ = false;

  int lastMouseButton_ = 0;
  int lastKey_ = 0;
  bool hover_ = false;
  bool hasFocus_ = false;
  bool shown_ = false;
  bool drawnPressed_ = false;
  bool drawnOnce_ = false;
  QString drawnCaption_;
  int shortcutId_ = 0;
  QPixmap background_;  // the container's pixels behind a type-11 button
  QTimer overTimer_;
  std::function<bool()> cursorProbe_;
};

// A command button in the program's own look: type 14, its own colours,
// resting in its hover colours (which the pulses of the windows read).
ZelButton* MakeCommandButton(QWidget* parent, const QString& objectName, const QColor& face,
                             const QColor& text = QColor(0, 0, 64));

// Marks a window's default button (Enter presses it) or cancel button
// (Escape presses it); nullptr clears the mark.
void SetDefaultButton(QWidget* window, ZelButton* button);
void SetCancelButton(QWidget* window, ZelButton* button);

// In this window a command button's access key wins over another control
// (a tab, a label) with the same letter, which would otherwise make the
// key do nothing.
void GiveButtonsAccessKeyPriority(QWidget* window);

// A colour given as the program's 0x00BBGGRR number.
QColor ColorFromNumber(quint32 number);

}  // namespace kestrova::gui

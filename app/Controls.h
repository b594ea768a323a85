// The kinds of control the window design uses: picture box, label, text box,
// multi-line text box, shape and image. Each is a widget plus the properties
// every control of the design has (tag, colours, back style), which the window
// reads by name for its state snapshot.
#pragma once

#include "WebBrowser.h"

#include <QAbstractButton>
#include <QFont>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QWidget>

#include <cstdint>
#include <functional>

class QKeyEvent;
class QPainter;

namespace FormControls {

constexpr uint32_t kButtonFace = 0x8000000F;
constexpr uint32_t kButtonText = 0x80000012;
constexpr uint32_t kWindowBackground = 0x80000005;
constexpr uint32_t kWindowText = 0x80000008;
// The focus ring: the skin's blue (the query button's face) on light
// controls, white on that button itself.
constexpr uint32_t kFocusBlue = 0x00E79659;
constexpr uint32_t kFocusWhite = 0x00FFFFFF;

// Properties shared by every control, and its place in twips. The twips are
// the control's own values, as set; the widget shows them rounded to pixels.
class Control {
 public:
  virtual ~Control() = default;
  virtual QWidget* widget() = 0;
  // The caption of a label, the text of a text box; empty for the others.
  virtual QString captionOrText() const { return {}; }

  // Design geometry in twips, relative to the container's client area.
  void setDesignGeometry(float left, float top, float width, float height);
  // Moves to a left and top in twips, keeping the size.
  void setDesignPosition(float left, float top);
  // Sets width and height in twips; negative values count as 0.
  void setDesignSize(float width, float height);
  float Left() const { return left_; }
  float Top() const { return top_; }
  float Width() const { return width_; }
  float Height() const { return height_; }

  QString Tag;
  uint32_t ForeColor = kButtonText;
  uint32_t BackColor = kButtonFace;
  int16_t BackStyle = 1;  // 1 opaque, 0 transparent

 private:
  void showGeometry();

  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// The picture of a picture box: the box takes the picture's size and draws
// it at 0, 0 on its back colour. The picture may have more pixels than its
// logical size (a version for high-density screens): the box takes the
// logical size, and only a picture made for another density is scaled.
class Picture {
 public:
  void setPicture(const QPixmap& picture);
  const QPixmap& picture() const { return picture_; }

 protected:
  explicit Picture(Control& box) : box_(box) {}
  void paintPicture(QPainter& painter) const;

 private:
  Control& box_;
  QPixmap picture_;
};

// A plain control that raises the mouse events: Click (press and release of
// the left button on it) and MouseMove (every move over it, buttons held or
// not).
class ClickableControl : public QWidget, public Control {
  Q_OBJECT

 public:
  explicit ClickableControl(QWidget* parent);
  QWidget* widget() override { return this; }

 signals:
  void Click();
  void MouseMove();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

// A borderless picture box, sized to its picture.
class PictureBox : public ClickableControl, public Picture {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A picture box that is a push button for the keyboard and for screen
// readers (named `accessibleName`): the mouse clicks it as any picture box,
// Tab reaches it (a click does not focus it, as before), and Space, Enter
// and the keypad's Enter click it. A ring of `focusColor` inside its edge
// shows the focus. Click and MouseMove as a picture box raises them.
class PictureButton : public QAbstractButton, public Control, public Picture {
  Q_OBJECT

 public:
  PictureButton(QWidget* parent, const QString& accessibleName, uint32_t focusColor);
  QWidget* widget() override { return this; }

 signals:
  void Click();
  void MouseMove();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  uint32_t focusColor_;
};

// An image control: a picture store with no back colour of its own.
class Image : public PictureBox {
  Q_OBJECT

 public:
  using PictureBox::PictureBox;
};

// A label that draws its caption at its top left; with auto-size on, its size
// follows the caption's text extent whenever caption or font change.
class Label : public ClickableControl {
  Q_OBJECT

 public:
  Label(QWidget* parent, const QFont& font, bool autoSize);
  QString captionOrText() const override { return caption_; }
  QString caption() const { return caption_; }
  void setCaption(const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void fitToCaption();

  QString caption_;
  bool autoSize_;
};

// A single-line text box. Click comes on release of the left button, after
// the box has placed its caret; Change after every change of the text, typed
// or set. KeyPress comes for each key that types a character, before the box
// sees it, with the character's code (13 for Enter): a handler may change
// the code, and the box then types that character instead, or none for 0.
// gotFocusByKeyboard follows GotFocus when the focus came from the keyboard,
// the window's activation or the program, not from a click or a menu.
class TextBox : public QLineEdit, public Control {
  Q_OBJECT

 public:
  explicit TextBox(QWidget* parent);
  QWidget* widget() override { return this; }
  QString captionOrText() const override { return text(); }

 signals:
  void Click();
  void Change();
  void KeyPress(qint16& KeyAscii);
  void GotFocus();
  void gotFocusByKeyboard();
  void LostFocus();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// A multi-line text box. text() is what the box holds: the text as set, with
// the user's edits applied (Enter types CR LF). It shows CR LF as a line
// break, as the original platform's text box does, and a CR or LF that is
// not part of such a pair as nothing; such a hidden character stays in the
// text until an edit removes the shown characters on both sides of it.
class MultiLineTextBox : public QPlainTextEdit, public Control {
  Q_OBJECT

 public:
  explicit MultiLineTextBox(QWidget* parent);
  QWidget* widget() override { return this; }
  QString captionOrText() const override { return text_; }

  const QString& text() const { return text_; }
  void setText(const QString& text);
  void setForeColor(uint32_t color);

 private:
  void followEdit();

  QString text_;
  bool settingText_ = false;
};

// The browser control: it has its place in the design but shows nothing; its
// engine loads pages in the background.
class BrowserControl : public QWidget, public Control {
  Q_OBJECT

 public:
  explicit BrowserControl(QWidget* parent) : QWidget(parent) {}
  QWidget* widget() override { return this; }
  ModAPI::WebBrowser& browser() { return browser_; }

 private:
  ModAPI::WebBrowser browser_;
};

// A rectangle outline, drawn inside its bounds in ForeColor (the border
// colour), that lets the mouse through to what lies below it.
class Shape : public QWidget, public Control {
  Q_OBJECT

 public:
  Shape(QWidget* parent, int borderWidth);
  QWidget* widget() override { return this; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int borderWidth_;
};

// Enter or the keypad's Enter, held without Ctrl and Alt: with either held
// it types no character and presses no button.
bool isPlainEnter(const QKeyEvent& event);

// The code of the character a key types, as KeyPress gives it: 13 for a
// plain Enter, the code of the key's one UTF-16 character otherwise, 0 for
// a key that types none or more than one.
qint16 typedCharacter(const QKeyEvent& event);

// Calls `follow` each time `watched` itself is shown or hidden, whether or
// not its window is on screen yet, for as long as `follower` lives.
void followShowAndHide(QWidget* watched, QObject* follower, std::function<void()> follow);

// The ring that shows the keyboard focus: two pixels wide, inside `area`.
void paintFocusRing(QPainter& painter, const QRect& area, uint32_t color);

// The text extent of a caption in pixels: the size an auto-sized label takes.
// CR LF, CR and LF each break the caption's line.
QSize captionExtent(const QFontMetrics& metrics, const QString& caption);

}  // namespace FormControls

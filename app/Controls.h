// The kinds of control the window design uses: picture box, label, text box,
// multi-line text box, shape and image. Each is a widget plus the properties
// every control of the design has (tag, colours, back style), which the window
// reads by name for its state snapshot.
#pragma once

#include <QFont>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QWidget>

#include <cstdint>

namespace FormControls {

constexpr uint32_t kButtonFace = 0x8000000F;
constexpr uint32_t kButtonText = 0x80000012;
constexpr uint32_t kWindowBackground = 0x80000005;
constexpr uint32_t kWindowText = 0x80000008;

// Properties shared by every control, and its place in twips.
class Control {
 public:
  virtual ~Control() = default;
  virtual QWidget* widget() = 0;
  // The caption of a label, the text of a text box; empty for the others.
  virtual QString captionOrText() const { return {}; }

  // Design geometry in twips, relative to the container's client area.
  void setDesignGeometry(int left, int top, int width, int height);
  // Moves to a left and top in twips, keeping the size.
  void Move(double left, double top);
  // Sets width and height in twips; negative values count as 0.
  void SetSize(double width, double height);
  float Left() const;
  float Top() const;
  float Width() const;
  float Height() const;

  QString Tag;
  uint32_t ForeColor = kButtonText;
  uint32_t BackColor = kButtonFace;
  int16_t BackStyle = 1;  // 1 opaque, 0 transparent

 private:
  const QWidget* constWidget() const { return const_cast<Control*>(this)->widget(); }
};

// A borderless picture box that is sized to its picture and draws it at 0, 0
// on its back colour.
class PictureBox : public QWidget, public Control {
 public:
  explicit PictureBox(QWidget* parent);
  QWidget* widget() override { return this; }
  void setPicture(const QPixmap& picture);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

// An image control: a picture store with no back colour of its own.
class Image : public PictureBox {
 public:
  using PictureBox::PictureBox;
};

// A label that draws its caption at its top left; with auto-size on, its size
// follows the caption's text extent whenever caption or font change.
class Label : public QWidget, public Control {
 public:
  Label(QWidget* parent, const QFont& font, bool autoSize);
  QWidget* widget() override { return this; }
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

class TextBox : public QLineEdit, public Control {
 public:
  explicit TextBox(QWidget* parent);
  QWidget* widget() override { return this; }
  QString captionOrText() const override { return text(); }
};

class MultiLineTextBox : public QPlainTextEdit, public Control {
 public:
  explicit MultiLineTextBox(QWidget* parent);
  QWidget* widget() override { return this; }
  QString captionOrText() const override { return toPlainText(); }
};

// A rectangle outline, drawn inside its bounds in ForeColor (the border
// colour), that lets the mouse through to what lies below it.
class Shape : public QWidget, public Control {
 public:
  Shape(QWidget* parent, int borderWidth);
  QWidget* widget() override { return this; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int borderWidth_;
};

// Line breaks of a caption as the painter and the metrics take them: CR LF,
// CR and LF each break the line.
QString withPlainLineBreaks(const QString& text);

// The text extent of a caption in pixels: the size an auto-sized label takes.
QSize captionExtent(const QFontMetrics& metrics, const QString& caption);

}  // namespace FormControls

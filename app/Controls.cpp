#include "Controls.h"

#include "Design.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace FormControls {

using ModAPI::OleColor;
using ModAPI::PixelsToTwips;
using ModAPI::TwipsToPixels;

QString withPlainLineBreaks(const QString& text) {
  QString plain = text;
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return plain;
}

QSize captionExtent(const QFontMetrics& metrics, const QString& caption) {
  // Single-line captions, nearly all of them, skip the slower layout of
  // multi-line text; both give the same size for one line.
  const QString plain = withPlainLineBreaks(caption);
  if (plain.contains(QLatin1Char('\n'))) return metrics.size(0, plain);
  return QSize(metrics.horizontalAdvance(plain), metrics.height());
}

void Control::setDesignGeometry(float left, float top, float width, float height) {
  left_ = left;
  top_ = top;
  SetSize(width, height);
}

void Control::Move(float left, float top) {
  left_ = left;
  top_ = top;
  showGeometry();
}

void Control::SetSize(float width, float height) {
  width_ = std::max(width, 0.0f);
  height_ = std::max(height, 0.0f);
  showGeometry();
}

void Control::showGeometry() {
  widget()->setGeometry(TwipsToPixels(left_), TwipsToPixels(top_), TwipsToPixels(width_),
                        TwipsToPixels(height_));
}

ClickableControl::ClickableControl(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
}

void ClickableControl::disconnectHandlers() {
  Click = nullptr;
  MouseMove = nullptr;
}

void ClickableControl::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void ClickableControl::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click && Click) Click();
}

void ClickableControl::mouseMoveEvent(QMouseEvent*) {
  if (MouseMove) MouseMove();
}

PictureBox::PictureBox(QWidget* parent) : ClickableControl(parent) {}

void PictureBox::setPicture(const QPixmap& picture) {
  picture_ = picture;
  SetSize(PixelsToTwips(picture.width()), PixelsToTwips(picture.height()));
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (BackStyle) painter.fillRect(rect(), OleColor(BackColor));
  painter.drawPixmap(0, 0, picture_);
}

Label::Label(QWidget* parent, const QFont& font, bool autoSize)
    : ClickableControl(parent), autoSize_(autoSize) {
  setFont(font);
  BackStyle = 0;
}

void Label::setCaption(const QString& caption) {
  caption_ = caption;
  fitToCaption();
  update();
}

void Label::fitToCaption() {
  if (!autoSize_) return;
  const QSize extent = captionExtent(fontMetrics(), caption_);
  SetSize(PixelsToTwips(extent.width()), PixelsToTwips(extent.height()));
}

void Label::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (BackStyle) painter.fillRect(rect(), OleColor(BackColor));
  painter.setPen(OleColor(ForeColor));
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, withPlainLineBreaks(caption_));
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  BackColor = kWindowBackground;
  ForeColor = kWindowText;
}

void TextBox::disconnectHandlers() {
  Click = nullptr;
  KeyPress = nullptr;
  GotFocus = nullptr;
  LostFocus = nullptr;
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && Click) Click();
}

void TextBox::keyPressEvent(QKeyEvent* event) {
  if (KeyPress) KeyPress(event);
  QLineEdit::keyPressEvent(event);
}

void TextBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (GotFocus) GotFocus();
}

void TextBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (LostFocus) LostFocus();
}

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  BackColor = kWindowBackground;
  ForeColor = kWindowText;
}

// CR LF pairs become line breaks; any other CR or LF is not shown.
static QString shownAsTextBox(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool pair = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
    if (pair) {
      shown += u'\n';
      ++i;
    } else if (text[i] != u'\r' && text[i] != u'\n') {
      shown += text[i];
    }
  }
  return shown;
}

void MultiLineTextBox::setText(const QString& text) {
  text_ = text;
  setPlainText(shownAsTextBox(text));
}

void MultiLineTextBox::setForeColor(uint32_t color) {
  ForeColor = color;
  QPalette colors = palette();
  colors.setColor(QPalette::Text, OleColor(color));
  setPalette(colors);
}

Shape::Shape(QWidget* parent, int borderWidth) : QWidget(parent), borderWidth_(borderWidth) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  BackStyle = 0;
}

void Shape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPen pen(OleColor(ForeColor), borderWidth_);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  const double inset = borderWidth_ / 2.0;  // the pen straddles the path
  painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

}  // namespace FormControls

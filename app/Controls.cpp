#include "Controls.h"

#include "Design.h"

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

void Control::setDesignGeometry(int left, int top, int width, int height) {
  widget()->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                        TwipsToPixels(height));
}

void Control::Move(double left, double top) {
  widget()->move(TwipsToPixels(left), TwipsToPixels(top));
}

void Control::SetSize(double width, double height) {
  widget()->resize(TwipsToPixels(std::max(width, 0.0)), TwipsToPixels(std::max(height, 0.0)));
}

float Control::Left() const { return PixelsToTwips(constWidget()->x()); }
float Control::Top() const { return PixelsToTwips(constWidget()->y()); }
float Control::Width() const { return PixelsToTwips(constWidget()->width()); }
float Control::Height() const { return PixelsToTwips(constWidget()->height()); }

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setPicture(const QPixmap& picture) {
  picture_ = picture;
  resize(picture.size());
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (BackStyle) painter.fillRect(rect(), OleColor(BackColor));
  painter.drawPixmap(0, 0, picture_);
}

Label::Label(QWidget* parent, const QFont& font, bool autoSize) : QWidget(parent), autoSize_(autoSize) {
  setFont(font);
  BackStyle = 0;
}

void Label::setCaption(const QString& caption) {
  caption_ = caption;
  fitToCaption();
  update();
}

void Label::fitToCaption() {
  if (autoSize_) resize(captionExtent(fontMetrics(), caption_));
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

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : QPlainTextEdit(parent) {
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  BackColor = kWindowBackground;
  ForeColor = kWindowText;
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

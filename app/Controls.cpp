#include "Controls.h"

#include "Design.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

// A picture box takes the size of its picture and draws it at 0, 0 on its
// back colour. The picture may have more pixels than its logical size (a
// version for high-density screens): the box takes the logical size, and
// only a picture made for another density is scaled, then smoothly.
void showPicture(Control& control, const QPixmap& picture) {
  const QSize size = picture.deviceIndependentSize().toSize();
  control.SetSize(PixelsToTwips(size.width()), PixelsToTwips(size.height()));
  control.widget()->update();
}

void paintPicture(QPainter& painter, const Control& control, const QRect& area,
                  const QPixmap& picture) {
  if (control.BackStyle) painter.fillRect(area, OleColor(control.BackColor));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(0, 0, picture);
}

}  // namespace

PictureBox::PictureBox(QWidget* parent) : ClickableControl(parent) {}

void PictureBox::setPicture(const QPixmap& picture) {
  picture_ = picture;
  showPicture(*this, picture);
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintPicture(painter, *this, rect(), picture_);
}

PictureButton::PictureButton(QWidget* parent, const QString& accessibleName, uint32_t focusColor)
    : QAbstractButton(parent), focusColor_(focusColor) {
  setMouseTracking(true);
  setFocusPolicy(Qt::TabFocus);
  setAccessibleName(accessibleName);
  connect(this, &QAbstractButton::clicked, this, [this] {
    if (Click) Click();
  });
}

void PictureButton::setPicture(const QPixmap& picture) {
  picture_ = picture;
  showPicture(*this, picture);
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintPicture(painter, *this, rect(), picture_);
  if (hasFocus()) paintFocusRing(painter, rect().adjusted(2, 2, -2, -2), focusColor_);
}

// Enter types no character with Ctrl or Alt held, and clicks nothing then.
void PictureButton::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return click();
  QAbstractButton::keyPressEvent(event);
}

// The button's own handling passes on what it does not use; a picture box
// keeps every mouse event, so none reaches the window behind it.
void PictureButton::mousePressEvent(QMouseEvent* event) {
  QAbstractButton::mousePressEvent(event);
  event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
  QAbstractButton::mouseReleaseEvent(event);
  event->accept();
}

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
  if (MouseMove) MouseMove();
  QAbstractButton::mouseMoveEvent(event);
  event->accept();
}

Label::Label(QWidget* parent, const QFont& font, bool autoSize)
    : ClickableControl(parent), autoSize_(autoSize) {
  setFont(font);
  BackStyle = 0;
}

void Label::setCaption(const QString& caption) {
  caption_ = caption;
  setAccessibleName(withPlainLineBreaks(caption));
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
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (Change) Change();
  });
}

void TextBox::disconnectHandlers() {
  Click = nullptr;
  Change = nullptr;
  KeyPress = nullptr;
  GotFocus = nullptr;
  GotFocusByKeyboard = nullptr;
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
  const bool pointer =
      event->reason() == Qt::MouseFocusReason || event->reason() == Qt::PopupFocusReason;
  if (!pointer && GotFocusByKeyboard) GotFocusByKeyboard();
}

void TextBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (LostFocus) LostFocus();
}

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : QPlainTextEdit(parent) {
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  BackColor = kWindowBackground;
  ForeColor = kWindowText;
  connect(document(), &QTextDocument::contentsChanged, this, [this] { followEdit(); });
}

namespace {

// The text as the box shows it, and for each shown character the range of
// the kept text it stands for: CR LF pairs show as one line break, any other
// CR or LF is not shown.
struct ShownText {
  QString text;
  std::vector<std::pair<qsizetype, qsizetype>> spans;  // [begin, end) in the kept text
};

ShownText shownAsTextBox(const QString& kept) {
  ShownText shown;
  shown.text.reserve(kept.size());
  for (qsizetype i = 0; i < kept.size(); ++i) {
    const bool pair = kept[i] == u'\r' && i + 1 < kept.size() && kept[i + 1] == u'\n';
    if (pair) {
      shown.text += u'\n';
      shown.spans.emplace_back(i, i + 2);
      ++i;
    } else if (kept[i] != u'\r' && kept[i] != u'\n') {
      shown.text += kept[i];
      shown.spans.emplace_back(i, i + 1);
    }
  }
  return shown;
}

// The document's text with its paragraph separators as line breaks.
QString documentText(const QTextDocument& document) {
  return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

}  // namespace

QString shownInTextBox(const QString& text) {
  return shownAsTextBox(text).text;
}

void MultiLineTextBox::setText(const QString& text) {
  text_ = text;
  settingText_ = true;
  setPlainText(shownAsTextBox(text).text);
  settingText_ = false;
}

// The shown text before and after an edit differ in one stretch; the same
// stretch of the kept text becomes what was typed. Hidden characters go with
// it when it takes the shown characters on both sides of them, or the one
// beside them at the start or end of the text.
void MultiLineTextBox::followEdit() {
  if (settingText_) return;
  ShownText before = shownAsTextBox(text_);
  before.text.replace(QChar::ParagraphSeparator, u'\n');
  const QString after = documentText(*document());
  const qsizetype shorter = std::min(before.text.size(), after.size());
  qsizetype head = 0;
  while (head < shorter && before.text[head] == after[head]) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head &&
         before.text[before.text.size() - 1 - tail] == after[after.size() - 1 - tail])
    ++tail;
  const qsizetype shown = before.text.size();
  const qsizetype removedEnd = shown - tail;
  if (head == removedEnd && head == after.size() - tail) return;
  const qsizetype from = head == 0      ? 0
                         : head < shown ? before.spans[size_t(head)].first
                                        : text_.size();
  const qsizetype to = removedEnd == head    ? from
                       : removedEnd == shown ? text_.size()
                                             : before.spans[size_t(removedEnd - 1)].second;
  QString typed = after.mid(head, after.size() - tail - head);
  typed.replace(u'\n', QLatin1String("\r\n"));
  text_.replace(from, to - from, typed);
}

void MultiLineTextBox::setForeColor(uint32_t color) {
  ForeColor = color;
  QPalette colors = palette();
  colors.setColor(QPalette::Text, OleColor(color));
  setPalette(colors);
}

void paintFocusRing(QPainter& painter, const QRect& area, uint32_t color) {
  QPen pen(OleColor(color), 2);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.save();
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(area).adjusted(1, 1, -1, -1));  // the pen straddles the path
  painter.restore();
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

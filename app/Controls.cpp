#include "Controls.h"

#include "Design.h"
#include "LineEnds.h"
#include "TextBoxText.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace FormControls {

using ModAPI::OleColor;
using ModAPI::PixelsToTwips;
using ModAPI::TwipsToPixels;

QSize captionExtent(const QFontMetrics& metrics, const QString& caption) {
  // Single-line captions, nearly all of them, skip the slower layout of
  // multi-line text; both give the same size for one line.
  const QString plain = ModAPI::withLfLineEnds(caption);
  if (plain.contains(QLatin1Char('\n'))) return metrics.size(0, plain);
  return QSize(metrics.horizontalAdvance(plain), metrics.height());
}

void Control::setDesignGeometry(float left, float top, float width, float height) {
  left_ = left;
  top_ = top;
  setDesignSize(width, height);
}

void Control::setDesignPosition(float left, float top) {
  left_ = left;
  top_ = top;
  showGeometry();
}

void Control::setDesignSize(float width, float height) {
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
  if (click) emit Click();
}

void ClickableControl::mouseMoveEvent(QMouseEvent*) {
  emit MouseMove();
}

void Picture::setPicture(const QPixmap& picture) {
  picture_ = picture;
  const QSize size = picture.deviceIndependentSize().toSize();
  box_.setDesignSize(PixelsToTwips(size.width()), PixelsToTwips(size.height()));
  box_.widget()->update();
}

void Picture::paintPicture(QPainter& painter) const {
  if (box_.BackStyle) painter.fillRect(box_.widget()->rect(), OleColor(box_.BackColor));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(0, 0, picture_);
}

PictureBox::PictureBox(QWidget* parent)
    : ClickableControl(parent), Picture(static_cast<Control&>(*this)) {}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintPicture(painter);
}

PictureButton::PictureButton(QWidget* parent, const QString& accessibleName, uint32_t focusColor)
    : QAbstractButton(parent), Picture(static_cast<Control&>(*this)), focusColor_(focusColor) {
  setMouseTracking(true);
  setFocusPolicy(Qt::TabFocus);
  setAccessibleName(accessibleName);
  connect(this, &QAbstractButton::clicked, this, &PictureButton::Click);
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintPicture(painter);
  if (hasFocus()) paintFocusRing(painter, rect().adjusted(2, 2, -2, -2), focusColor_);
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
  if (isPlainEnter(*event)) return click();
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
  emit MouseMove();
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
  setAccessibleName(ModAPI::withLfLineEnds(caption));
  fitToCaption();
  update();
}

void Label::fitToCaption() {
  if (!autoSize_) return;
  const QSize extent = captionExtent(fontMetrics(), caption_);
  setDesignSize(PixelsToTwips(extent.width()), PixelsToTwips(extent.height()));
}

void Label::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (BackStyle) painter.fillRect(rect(), OleColor(BackColor));
  painter.setPen(OleColor(ForeColor));
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, ModAPI::withLfLineEnds(caption_));
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
  // The toolkit knows the type of KeyPress's code, not a reference to it:
  // with the reference named a spy records the code as it was raised.
  static const int keyAsciiReference = qRegisterMetaType<qint16>("qint16&");
  Q_UNUSED(keyAsciiReference);
  setFrame(false);
  BackColor = kWindowBackground;
  ForeColor = kWindowText;
  connect(this, &QLineEdit::textChanged, this, &TextBox::Change);
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit Click();
}

// The box types what the handlers leave of the key's character.
void TextBox::keyPressEvent(QKeyEvent* event) {
  const qint16 typed = typedCharacter(*event);
  qint16 KeyAscii = typed;
  if (typed) emit KeyPress(KeyAscii);
  if (KeyAscii == typed) return QLineEdit::keyPressEvent(event);
  if (KeyAscii == 0) return event->accept();
  QKeyEvent changed(event->type(), Qt::Key_unknown, event->modifiers(),
                    QString(QChar(char16_t(KeyAscii))));
  QLineEdit::keyPressEvent(&changed);
}

void TextBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  emit GotFocus();
  const bool pointer =
      event->reason() == Qt::MouseFocusReason || event->reason() == Qt::PopupFocusReason;
  if (!pointer) emit gotFocusByKeyboard();
}

void TextBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit LostFocus();
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

// The document's text with its paragraph separators as line breaks.
QString documentText(const QTextDocument& document) {
  return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

}  // namespace

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

bool isPlainEnter(const QKeyEvent& event) {
  const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
  return enter && !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

qint16 typedCharacter(const QKeyEvent& event) {
  if (isPlainEnter(event)) return 13;
  const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
  const QString text = event.text();
  return !enter && text.size() == 1 ? qint16(text[0].unicode()) : qint16(0);
}

namespace {

// Show and hide events tell when the watched widget itself is shown or
// hidden, whether or not its window is on screen yet.
class ShowAndHideFilter : public QObject {
 public:
  ShowAndHideFilter(QObject* follower, std::function<void()> follow)
      : QObject(follower), follow_(std::move(follow)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) follow_();
    return false;
  }

 private:
  std::function<void()> follow_;
};

}  // namespace

void followShowAndHide(QWidget* watched, QObject* follower, std::function<void()> follow) {
  watched->installEventFilter(new ShowAndHideFilter(follower, std::move(follow)));
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

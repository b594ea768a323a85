#include "CourierPanel.h"

#include "AccessibleControls.h"
#include "Design.h"
#include "Module1.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <iterator>
#include <utility>

using FormControls::captionExtent;
using FormControls::withPlainLineBreaks;
using ModAPI::OleColor;
using ModAPI::TwipsToPixels;
using Module1::CourierEntry;

static QFont boldFontOf(QFont font) {
  font.setBold(true);
  return font;
}

CourierPanel::CourierPanel(QWidget* parent, const CourierEntry& design, const QFont& labelFont,
                           const QCursor& labelCursor)
    : PictureBox(parent),
      regularFont_(labelFont),
      boldFont_(boldFontOf(labelFont)),
      regularMetrics_(regularFont_),
      boldMetrics_(boldFont_),
      labels_(design,
              [this](const QString& caption, bool bold) { return textExtent(caption, bold); }),
      labelCursor_(labelCursor) {
  labels_.setChangeListener([this](int16_t) { update(); });
  setFocusPolicy(Qt::TabFocus);
}

QSizeF CourierPanel::textExtent(const QString& caption, bool bold) const {
  const QSize pixels = captionExtent(bold ? boldMetrics_ : regularMetrics_, caption);
  return QSizeF(ModAPI::PixelsToTwips(pixels.width()), ModAPI::PixelsToTwips(pixels.height()));
}

QRect CourierPanel::pixelRect(const CourierEntry& label) const {
  return QRect(TwipsToPixels(label.Left), TwipsToPixels(label.Top), TwipsToPixels(label.Width),
               TwipsToPixels(label.Height));
}

void CourierPanel::paintEvent(QPaintEvent* event) {
  PictureBox::paintEvent(event);
  QPainter painter(this);
  for (const CourierEntry& label : labels_.all()) {
    if (label.Visible && pixelRect(label).intersects(event->rect())) paintLabel(painter, label);
  }
  for (const int16_t k : hinted_) {
    if (labels_[k].Visible && hintMarkRect(k).intersects(event->rect())) paintHintMark(painter, k);
  }
  if (hasFocus() && choosable(current_))
    FormControls::paintFocusRing(painter, ringRect(current_), FormControls::kFocusBlue);
}

QRect HintMark(const QRect& label, int lineHeight) {
  constexpr int kSide = 6, kGap = 7;
  const int line = std::min(lineHeight, label.height());
  return QRect(label.left() - kGap - kSide, label.top() + (line - kSide) / 2, kSide, kSide);
}

QRect CourierPanel::hintMarkRect(int16_t k) const {
  return HintMark(pixelRect(labels_[k]), regularMetrics_.height());
}

// In the blue of the skin's buttons, the colour of the focus ring.
void CourierPanel::paintHintMark(QPainter& painter, int16_t k) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(OleColor(FormControls::kFocusBlue));
  painter.drawEllipse(hintMarkRect(k));
  painter.restore();
}

void CourierPanel::setHints(const QStringList& codes) {
  std::vector<int16_t> hinted;
  if (!codes.isEmpty()) {
    for (const CourierEntry& label : labels_.all())
      if (!label.isHeading() && codes.contains(label.Tag)) hinted.push_back(label.Index);
  }
  if (hinted == hinted_) return;
  std::vector<int16_t> changed;
  std::set_symmetric_difference(hinted.begin(), hinted.end(), hinted_.begin(), hinted_.end(),
                                std::back_inserter(changed));
  hinted_ = std::move(hinted);
  for (const int16_t k : changed) update(hintMarkRect(k));
  AnnounceHintChanges(*this, changed);
}

bool CourierPanel::hinted(int16_t k) const {
  return std::binary_search(hinted_.begin(), hinted_.end(), k);
}

// Three pixels around the label: inside the hover frame, which lies five
// pixels out, so that both can be seen at once.
QRect CourierPanel::ringRect(int16_t k) const {
  if (k < 0 || k >= labels_.count()) return {};
  return pixelRect(labels_[k]).adjusted(-3, -3, 3, 3);
}

void CourierPanel::paintLabel(QPainter& painter, const CourierEntry& label) const {
  const QRect area = pixelRect(label);
  if (label.BackStyle == Module1::Opaque) painter.fillRect(area, OleColor(label.BackColor));
  painter.setFont(label.Bold ? boldFont_ : regularFont_);
  painter.setPen(OleColor(label.ForeColor));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, withPlainLineBreaks(label.Caption));
}

void CourierPanel::disconnectHandlers() {
  PictureBox::disconnectHandlers();
  LabelClick = nullptr;
  LabelMouseMove = nullptr;
  PanelMouseMove = nullptr;
}

int16_t CourierPanel::labelAt(QPoint point) const {
  const auto& all = labels_.all();
  for (auto label = all.rbegin(); label != all.rend(); ++label) {
    if (label->Visible && pixelRect(*label).contains(point)) return label->Index;
  }
  return -1;
}

// A click is a press and a release of the left button on the same label.
void CourierPanel::mousePressEvent(QMouseEvent* event) {
  pressedLabel_ = event->button() == Qt::LeftButton ? labelAt(event->position().toPoint()) : -1;
}

void CourierPanel::mouseReleaseEvent(QMouseEvent* event) {
  const int16_t pressed = std::exchange(pressedLabel_, -1);
  if (event->button() != Qt::LeftButton || pressed < 0) return;
  if (labelAt(event->position().toPoint()) == pressed) chooseLabel(pressed);
}

void CourierPanel::mouseMoveEvent(QMouseEvent* event) {
  const int16_t k = labelAt(event->position().toPoint());
  if (k >= 0)
    setCursor(labelCursor_);
  else
    unsetCursor();
  if (k >= 0 && LabelMouseMove) LabelMouseMove(k);
  if (k < 0 && PanelMouseMove) PanelMouseMove();
}

bool CourierPanel::choosable(int16_t k) const {
  return k >= 0 && k < labels_.count() && labels_[k].Visible && !labels_[k].isHeading();
}

int16_t CourierPanel::nextCourier(int from, int step) const {
  for (int k = from + step; k >= 0 && k < labels_.count(); k += step) {
    if (choosable(int16_t(k))) return int16_t(k);
  }
  return -1;
}

int16_t CourierPanel::courierUnderHeading(const QString& letter) const {
  if (letter.size() != 1 || !letter[0].isLetterOrNumber()) return -1;
  const auto& all = labels_.all();
  const auto heading = std::find_if(all.begin(), all.end(), [&](const CourierEntry& label) {
    return label.isHeading() && label.Caption.compare(letter, Qt::CaseInsensitive) == 0;
  });
  if (heading == all.end()) return -1;
  const int16_t first = nextCourier(heading->Index, 1);
  // Only when no other heading comes first.
  for (int16_t k = heading->Index + 1; k < first; ++k) {
    if (labels_[k].isHeading()) return -1;
  }
  return first;
}

int16_t CourierPanel::targetOfKey(const QKeyEvent& event) const {
  switch (event.key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
      return nextCourier(current_, 1);
    case Qt::Key_Left:
    case Qt::Key_Up:
      return nextCourier(current_, -1);
    case Qt::Key_Home:
      return nextCourier(-1, 1);
    case Qt::Key_End:
      return nextCourier(labels_.count(), -1);
    default:
      return courierUnderHeading(event.text());
  }
}

// Keys held with Ctrl or Alt belong to the window's shortcuts.
void CourierPanel::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
    return event->ignore();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      return chooseLabel(current_);
    default:
      break;
  }
  const int16_t target = targetOfKey(*event);
  if (target < 0) return event->ignore();
  setCurrentLabel(target);
}

void CourierPanel::setCurrentLabel(int16_t k) {
  if (!choosable(k) || k == current_) return;
  update(ringRect(current_));
  current_ = k;
  update(ringRect(current_));
  if (hasFocus()) AnnounceCurrentCourier(*this);
}

void CourierPanel::chooseLabel(int16_t k) {
  if (k < 0 || k >= labels_.count()) return;
  const int16_t before = Module1::SelectedCourierIndex;
  setCurrentLabel(k);
  if (LabelClick) LabelClick(k);
  if (Module1::SelectedCourierIndex != before) AnnounceChosenCourier(*this, before);
}

// Coming from another control, the keyboard starts on the chosen courier;
// coming back from a menu or another window, where it was.
void CourierPanel::focusInEvent(QFocusEvent* event) {
  PictureBox::focusInEvent(event);
  const bool entered =
      event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
  if (entered || !choosable(current_)) {
    const int16_t chosen = Module1::SelectedCourierIndex;
    current_ = choosable(chosen) ? chosen : nextCourier(-1, 1);
  }
  update(ringRect(current_));
  // After the toolkit's own focus event for the panel, which follows this
  // handler: a screen reader is to end on the courier, not on the panel.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (hasFocus()) AnnounceCurrentCourier(*this);
      },
      Qt::QueuedConnection);
}

void CourierPanel::focusOutEvent(QFocusEvent* event) {
  PictureBox::focusOutEvent(event);
  update(ringRect(current_));
}

void CourierPanel::setCover(QWidget* cover) {
  cover_ = cover;
  cover->installEventFilter(this);
  setFocusPolicy(covered() ? Qt::NoFocus : Qt::TabFocus);
}

bool CourierPanel::covered() const {
  return cover_ && !cover_->isHidden();
}

// Show and hide events tell when the cover itself is shown or hidden,
// whether or not the window is on screen yet.
bool CourierPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cover_ &&
      (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
    setFocusPolicy(covered() ? Qt::NoFocus : Qt::TabFocus);
  return PictureBox::eventFilter(watched, event);
}

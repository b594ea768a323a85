#include "CourierPanel.h"

#include "AccessibleControls.h"
#include "Design.h"
#include "LineEnds.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <iterator>
#include <utility>

using FormControls::captionExtent;
using ModAPI::OleColor;
using ModAPI::TwipsToPixels;
using ModAPI::withLfLineEnds;
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
  connect(&labels_, &Module1::CourierLabels::changed, this, [this] { update(); });
  connect(&selection_, &Module1::CourierSelection::selectionChanged, this,
          [this](int16_t previous, int16_t current) {
            announceChosenCourier(*this, previous, current);
          });
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

QRect hintMark(const QRect& label, int lineHeight) {
  constexpr int kSide = 6, kGap = 7;
  const int line = std::min(lineHeight, label.height());
  return QRect(label.left() - kGap - kSide, label.top() + (line - kSide) / 2, kSide, kSide);
}

QRect CourierPanel::hintMarkRect(int16_t k) const {
  return hintMark(pixelRect(labels_[k]), regularMetrics_.height());
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
  announceHintChanges(*this, changed);
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
  painter.setFont(label.bold ? boldFont_ : regularFont_);
  painter.setPen(OleColor(label.ForeColor));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, withLfLineEnds(label.Caption));
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
  if (k >= 0)
    emit labels_.MouseMove(k);
  else
    emit MouseMove();
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

bool CourierPanel::headingBetween(int from, int to) const {
  for (int k = from + 1; k < to; ++k) {
    if (labels_[int16_t(k)].isHeading()) return true;
  }
  return false;
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
  return first < 0 || headingBetween(heading->Index, first) ? -1 : first;
}

// As in lists, the same letter again goes on to the next courier under its
// heading, and from the last back to the first.
int16_t CourierPanel::courierForLetter(const QString& letter) const {
  const int16_t first = courierUnderHeading(letter);
  if (first < 0 || current_ < first || headingBetween(first, current_)) return first;
  const int16_t next = nextCourier(current_, 1);
  return next < 0 || headingBetween(current_, next) ? first : next;
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
      return courierForLetter(event.text());
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
  if (hasFocus()) announceCurrentCourier(*this);
}

void CourierPanel::chooseLabel(int16_t k) {
  if (k < 0 || k >= labels_.count()) return;
  setCurrentLabel(k);
  emit labels_.Click(k);
}

// Coming from another control, the keyboard starts on the chosen courier;
// coming back from a menu or another window, where it was.
void CourierPanel::focusInEvent(QFocusEvent* event) {
  PictureBox::focusInEvent(event);
  const bool entered =
      event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
  if (entered || !choosable(current_)) {
    const int16_t chosen = selection_.SelectedCourierIndex();
    current_ = choosable(chosen) ? chosen : nextCourier(-1, 1);
  }
  update(ringRect(current_));
  // After the toolkit's own focus event for the panel, which follows this
  // handler: a screen reader is to end on the courier, not on the panel.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (hasFocus()) announceCurrentCourier(*this);
      },
      Qt::QueuedConnection);
}

void CourierPanel::focusOutEvent(QFocusEvent* event) {
  PictureBox::focusOutEvent(event);
  update(ringRect(current_));
}

// Tab passes the panel by while its cover is shown.
void CourierPanel::setCover(QWidget* cover) {
  cover_ = cover;
  const auto follow = [this] { setFocusPolicy(covered() ? Qt::NoFocus : Qt::TabFocus); };
  FormControls::followShowAndHide(cover, this, follow);
  follow();
}

bool CourierPanel::covered() const {
  return cover_ && !cover_->isHidden();
}

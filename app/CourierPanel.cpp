#include "CourierPanel.h"

#include "Design.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

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
  if (labelAt(event->position().toPoint()) == pressed && LabelClick) LabelClick(pressed);
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

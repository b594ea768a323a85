// The content panel `BG`: a white picture box that draws the courier labels of
// the group `LB` itself, one text run per label, instead of holding a widget
// per label; catalogues with thousands of items stay cheap to create and paint.
#pragma once

#include "Controls.h"
#include "LabelGroup.h"

#include <QCursor>
#include <QFont>
#include <QFontMetrics>

#include <functional>

#include <memory>

class CourierPanel : public FormControls::PictureBox {
 public:
  // `labelFont` is the regular font of the labels; headings draw it bold.
  // `labelCursor` is the pointer shown over the labels.
  CourierPanel(QWidget* parent, const Module1::CourierEntry& design, const QFont& labelFont,
               const QCursor& labelCursor);

  Module1::CourierLabels& labels() { return labels_; }
  const Module1::CourierLabels& labels() const { return labels_; }

  // The caption's text extent in twips, as the labels size themselves.
  QSizeF textExtent(const QString& caption, bool bold) const;

  // The visible label under a point of the panel (pixels), the last created
  // on top; -1 over the bare panel.
  int16_t labelAt(QPoint point) const;

  void disconnectHandlers() override;

  // Mouse events of the labels, by index, and of the bare panel.
  std::function<void(int16_t)> LabelClick;
  std::function<void(int16_t)> LabelMouseMove;
  std::function<void()> PanelMouseMove;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void paintLabel(QPainter& painter, const Module1::CourierEntry& label) const;
  QRect pixelRect(const Module1::CourierEntry& label) const;

  QFont regularFont_;
  QFont boldFont_;
  QFontMetrics regularMetrics_;
  QFontMetrics boldMetrics_;
  Module1::CourierLabels labels_;
  QCursor labelCursor_;
  int16_t pressedLabel_ = -1;
};

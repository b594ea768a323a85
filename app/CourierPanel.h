// The content panel `BG`: a white picture box that draws the courier labels of
// the group `LB` itself, one text run per label, instead of holding a widget
// per label; catalogues with thousands of items stay cheap to create and paint.
#pragma once

#include "Controls.h"
#include "LabelGroup.h"

#include <QFont>

#include <memory>

class CourierPanel : public FormControls::PictureBox {
 public:
  // `labelFont` is the regular font of the labels; headings draw it bold.
  CourierPanel(QWidget* parent, const Module1::CourierEntry& design, const QFont& labelFont);

  Module1::CourierLabels& labels() { return labels_; }
  const Module1::CourierLabels& labels() const { return labels_; }

  // The caption's text extent in twips, as the labels size themselves.
  QSizeF textExtent(const QString& caption, bool bold) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void paintLabel(QPainter& painter, const Module1::CourierEntry& label) const;
  QRect pixelRect(const Module1::CourierEntry& label) const;

  QFont regularFont_;
  QFont boldFont_;
  QFontMetrics regularMetrics_;
  QFontMetrics boldMetrics_;
  Module1::CourierLabels labels_;
};

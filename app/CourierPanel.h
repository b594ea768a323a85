// The content panel `BG`: a white picture box that draws the courier labels of
// the group `LB` itself, one text run per label, instead of holding a widget
// per label; catalogues with thousands of items stay cheap to create and paint.
//
// For the keyboard the panel is one focus stop with a current courier (the
// chosen one whenever the panel gets the focus): arrows go to the previous
// or next courier in reading order (the labels' order), Home and End to the
// first and last, a letter to the first courier under the heading of that
// letter and, pressed again, to the next ones under it; headings are passed
// over. Enter or Space chooses the current courier as a click on it does.
// While the result area covers the panel, Tab passes it by.
//
// The panel raises the events of the group it shows: `Click` and
// `MouseMove` of the labels (labels()), its own `MouseMove` over the bare
// panel. It keeps the courier selection beside the labels it selects among.
//
// Couriers can carry a hint mark, a small dot before the name, which says
// only "this courier's numbers look like the typed one"; it changes nothing
// else about the labels.
#pragma once

#include "Controls.h"
#include "CourierSelection.h"
#include "LabelGroup.h"

#include <QCursor>
#include <QFont>
#include <QFontMetrics>
#include <QStringList>

#include <vector>

class CourierPanel : public FormControls::PictureBox {
  Q_OBJECT

 public:
  // `labelFont` is the regular font of the labels; headings draw it bold.
  // `labelCursor` is the pointer shown over the labels.
  CourierPanel(QWidget* parent, const Module1::CourierEntry& design, const QFont& labelFont,
               const QCursor& labelCursor);

  Module1::CourierLabels& labels() { return labels_; }
  const Module1::CourierLabels& labels() const { return labels_; }
  Module1::CourierSelection& selection() { return selection_; }
  const Module1::CourierSelection& selection() const { return selection_; }

  // The caption's text extent in twips, as the labels size themselves.
  QSizeF textExtent(const QString& caption, bool bold) const;

  // The visible label under a point of the panel (pixels), the last created
  // on top; -1 over the bare panel.
  int16_t labelAt(QPoint point) const;
  // The label's place on the panel, in pixels.
  QRect pixelRect(const Module1::CourierEntry& label) const;

  // The courier the keyboard is on; -1 before the panel first had the focus.
  int16_t currentLabel() const { return current_; }
  // Makes label k, a courier, the current one.
  void setCurrentLabel(int16_t k);
  // Chooses courier k as a click on it does; a heading is not chosen.
  void chooseLabel(int16_t k);
  // The control that covers the panel when shown (the result area).
  void setCover(QWidget* cover);
  bool covered() const;

  // Marks the couriers whose code is one of `codes`, and only those;
  // headings are never marked.
  void setHints(const QStringList& codes);
  bool hinted(int16_t k) const;
  const std::vector<int16_t>& hintedLabels() const { return hinted_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void paintLabel(QPainter& painter, const Module1::CourierEntry& label) const;
  QRect hintMarkRect(int16_t k) const;
  void paintHintMark(QPainter& painter, int16_t k) const;
  // Where the focus ring goes around a label.
  QRect ringRect(int16_t k) const;
  bool choosable(int16_t k) const;
  // The next courier from label `from` in direction `step` (1 or -1), -1
  // when there is none.
  int16_t nextCourier(int from, int step) const;
  // Whether a heading lies between labels `from` and `to`.
  bool headingBetween(int from, int to) const;
  // The first courier under the heading whose caption is `letter`.
  int16_t courierUnderHeading(const QString& letter) const;
  // Where a press of `letter` goes from the current courier.
  int16_t courierForLetter(const QString& letter) const;
  int16_t targetOfKey(const QKeyEvent& event) const;

  QFont regularFont_;
  QFont boldFont_;
  QFontMetrics regularMetrics_;
  QFontMetrics boldMetrics_;
  Module1::CourierLabels labels_;
  Module1::CourierSelection selection_{labels_};
  QCursor labelCursor_;
  int16_t pressedLabel_ = -1;
  int16_t current_ = -1;
  QWidget* cover_ = nullptr;
  std::vector<int16_t> hinted_;  // in label order
};

// The hint mark of a label at `label` (pixels) whose first line is
// `lineHeight` high: a dot 6 pixels wide, centred on that line, ending 7
// pixels before the label, clear of the hover frame 5 pixels out and of the
// focus ring 3 pixels out.
QRect hintMark(const QRect& label, int lineHeight);

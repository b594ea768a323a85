#include "StatusLine.h"

#include "Controls.h"

#include <QPainter>
#include <QStyle>

StatusLine::StatusLine(QWidget* parent, QWidget* explained, const QString& accessibleName)
    : QLabel(parent), emptyName_(accessibleName) {
  setAccessibleName(accessibleName);
  setTextFormat(Qt::PlainText);
  const auto follow = [this, explained] { setVisible(!explained->isHidden()); };
  FormControls::followShowAndHide(explained, this, follow);
  follow();
}

void StatusLine::setLine(const QString& line) {
  setText(line);
  setAccessibleName(line.isEmpty() ? emptyName_ : line);
  updateToolTip();
}

QString StatusLine::shownLine() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

// As the label draws plain text, but the line as far as it fits.
void StatusLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), alignment(), palette(), isEnabled(), shownLine(),
                        foregroundRole());
}

void StatusLine::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  updateToolTip();
}

void StatusLine::updateToolTip() {
  setToolTip(shownLine() == text() ? QString() : text());
}

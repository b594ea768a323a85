#include "StatusLine.h"

#include <QEvent>

StatusLine::StatusLine(QWidget* parent, QWidget* explained, const QString& accessibleName)
    : QLabel(parent), explained_(explained) {
  setAccessibleName(accessibleName);
  setTextFormat(Qt::PlainText);
  setVisible(!explained->isHidden());
  explained->installEventFilter(this);
}

void StatusLine::setLine(const QString& line) {
  setText(line);
  setAccessibleDescription(line);
}

// Show and hide events tell when the explained control itself is shown or
// hidden, whether or not its window is on screen yet.
bool StatusLine::eventFilter(QObject* watched, QEvent* event) {
  if (watched == explained_ &&
      (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
    setVisible(!explained_->isHidden());
  return false;
}

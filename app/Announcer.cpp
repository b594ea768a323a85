#include "Announcer.h"

// Hidden until the first announcement: a shown notification without a
// text would be an unnamed object on the screen.
Announcer::Announcer(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(0, 0, 1, 1);
  hide();
}

void Announcer::announce(const QString& text) {
  if (text.isEmpty()) return;
  setAccessibleName(text);
  hide();
  show();
}

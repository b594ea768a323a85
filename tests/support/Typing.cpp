#include "Typing.h"

#include <QTest>

void typeText(QWindow* window, const QString& text) {
  for (const QChar c : text) QTest::keyClick(window, c.toLatin1());
}

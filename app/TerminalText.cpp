#include "TerminalText.h"

#include <QStringList>

namespace TerminalText {
namespace {

bool isBidiControl(char16_t c) {
  return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QString escaped(char16_t c) {
  return c < 0x100 ? QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'))
                   : QStringLiteral("\\u%1").arg(c, 4, 16, QLatin1Char('0'));
}

}  // namespace

// A tab moves the cursor on but hides nothing, and results laid out in
// columns use it: it is shown as it is.
bool isControl(QChar c) {
  const char16_t u = c.unicode();
  return (u < 0x20 && u != '\t') || (u >= 0x7F && u <= 0x9F) || isBidiControl(u);
}

QString shown(QStringView line) {
  QString text;
  text.reserve(line.size());
  for (const QChar c : line) {
    if (isControl(c))
      text += escaped(c.unicode());
    else
      text += c;
  }
  return text;
}

QString shownLines(QStringView text) {
  QStringList lines;
  for (const QStringView line : text.split(QLatin1Char('\n'))) lines += shown(line);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace TerminalText

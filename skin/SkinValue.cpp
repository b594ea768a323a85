#include "SkinValue.h"

#include <QByteArray>

#include <cmath>
#include <limits>

namespace SkinValue {
namespace {

struct Decimal {
  bool negative = false;
  QStringView whole;
  QStringView fraction;
};

bool isBlank(QChar c) {
  return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text) {
  while (!text.isEmpty() && isBlank(text.front())) text = text.mid(1);
  while (!text.isEmpty() && isBlank(text.back())) text.chop(1);
  return text;
}

QStringView takeDigits(QStringView& text) {
  qsizetype count = 0;
  while (count < text.size() && text[count] >= u'0' && text[count] <= u'9') ++count;
  const QStringView digits = text.left(count);
  text = text.mid(count);
  return digits;
}

int hexDigit(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  const char16_t lower = c.toLower().unicode();
  return lower >= u'a' && lower <= u'f' ? lower - u'a' + 10 : -1;
}

std::optional<qint32> parseHex(QStringView digits) {
  if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
  quint32 value = 0;
  for (const QChar c : digits) {
    const int digit = hexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value << 4 | quint32(digit);
  }
  return qint32(value);
}

std::optional<Decimal> parseDecimal(QStringView text) {
  Decimal number;
  if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
    number.negative = text.front() == u'-';
    text = trimBlanks(text.mid(1));
  }
  number.whole = takeDigits(text);
  if (!text.isEmpty() && text.front() == u'.') {
    text = text.mid(1);
    number.fraction = takeDigits(text);
  }
  if (!text.isEmpty() || (number.whole.isEmpty() && number.fraction.isEmpty())) {
    return std::nullopt;
  }
  return number;
}

// Rounds on the digits themselves, so that no binary fraction blurs a half.
std::optional<qint32> roundDecimal(const Decimal& number) {
  QStringView whole = number.whole;
  while (!whole.isEmpty() && whole.front() == u'0') whole = whole.mid(1);
  if (whole.size() > 10) return std::nullopt;
  qint64 magnitude = 0;
  for (const QChar digit : whole) magnitude = magnitude * 10 + (digit.unicode() - u'0');
  const QStringView fraction = number.fraction;
  const QChar first = fraction.isEmpty() ? QChar(u'0') : fraction.front();
  const bool beyondHalf = fraction.size() > 1 && fraction.mid(1).count(u'0') < fraction.size() - 1;
  if (first > u'5' || (first == u'5' && (beyondHalf || magnitude % 2 == 1))) ++magnitude;
  const qint64 value = number.negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max()) {
    return std::nullopt;
  }
  return qint32(value);
}

}  // namespace

std::optional<qint32> toLong(QStringView text) {
  text = trimBlanks(text);
  if (text.startsWith(u"&H", Qt::CaseInsensitive)) return parseHex(text.mid(2));
  const auto number = parseDecimal(text);
  return number ? roundDecimal(*number) : std::nullopt;
}

std::optional<double> toReal(QStringView text) {
  text = trimBlanks(text);
  if (text.startsWith(u"&H", Qt::CaseInsensitive)) {
    const auto value = parseHex(text.mid(2));
    return value ? std::optional<double>(*value) : std::nullopt;
  }
  const auto number = parseDecimal(text);
  if (!number) return std::nullopt;
  const QByteArray literal = (number->negative ? "-0" : "0") + number->whole.toLatin1() + '.' +
                             number->fraction.toLatin1() + '0';
  bool ok = false;
  const double value = literal.toDouble(&ok);
  return ok ? std::optional<double>(value) : std::nullopt;
}

qint32 roundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  // nearbyint rounds in the default mode: to nearest, ties to even.
  const double rounded = std::nearbyint(value);
  if (rounded <= std::numeric_limits<qint32>::min()) return std::numeric_limits<qint32>::min();
  if (rounded >= std::numeric_limits<qint32>::max()) return std::numeric_limits<qint32>::max();
  return qint32(rounded);
}

}  // namespace SkinValue

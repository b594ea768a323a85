// Conversion of the number texts of "Skin.ini".
#pragma once

#include <QStringView>

#include <optional>

namespace SkinValue {

// A signed 32-bit integer from text made of optional blanks, an optional sign
// (blanks may follow it), decimal digits with an optional fractional part
// rounded to the nearest integer, halves to the even neighbour, and optional
// trailing blanks; or from "&H" (any case) and one to eight hexadecimal digits,
// taken as a 32-bit two's complement value ("&HFFFFFFFF" is -1). Empty text,
// anything else and values outside 32 bits give nullopt.
std::optional<qint32> toLong(QStringView text);

// The same texts read as a real number, the fraction kept.
std::optional<double> toReal(QStringView text);

// `value` rounded to the nearest integer, halves to the even neighbour,
// saturated at the 32-bit limits; NaN gives 0.
qint32 roundHalfEven(double value);

}  // namespace SkinValue

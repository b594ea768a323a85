// The number texts of "Skin.ini".
#include "SkinValue.h"

#include <QString>

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(SkinValue, ToLong) {
  const struct {
    const char* text;
    std::optional<qint32> expected;
  } cases[] = {
      {"42", 42},
      {"  -17 \t", -17},  // blanks around and a sign
      {"+ 8", 8},         // blanks after the sign
      {"7.5", 8},         // halves go to the even neighbour
      {"6.5", 6},
      {"-6.5", -6},
      {"6.51", 7},                   // above the half
      {"6.4999999999999999999", 6},  // below the half, however close
      {"2.50000000000000001", 3},    // a double would make this 2.5
      {".5", 0},
      {"5.", 5},
      {"&HFF0000", 0xFF0000},  // pure blue as 0x00BBGGRR
      {"&hff", 255},
      {"&HFFFFFFFF", -1},  // 32-bit two's complement
      {"2147483647", std::numeric_limits<qint32>::max()},
      {"-2147483648", std::numeric_limits<qint32>::min()},
      {"2147483648", std::nullopt},    // outside 32 bits
      {"2147483647.5", std::nullopt},  // rounds outside
      {"&H100000000", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"abc", std::nullopt},
      {"12px", std::nullopt},
      {"1 2", std::nullopt},
      {"&H", std::nullopt},
      {"&HFG", std::nullopt},
      {"-", std::nullopt},
      {".", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SkinValue::toLong(QString::fromLatin1(c.text)), c.expected) << c.text;
  }
}

TEST(SkinValue, ToRealKeepsTheFraction) {
  EXPECT_EQ(SkinValue::toReal(u"-4.5"), -4.5);
  EXPECT_EQ(SkinValue::toReal(u" 3 "), 3.0);
  EXPECT_EQ(SkinValue::toReal(u"&H10"), 16.0);
  EXPECT_EQ(SkinValue::toReal(u"-.25"), -0.25);
  EXPECT_EQ(SkinValue::toReal(u"x"), std::nullopt);
}

TEST(SkinValue, RoundHalfEvenSaturates) {
  EXPECT_EQ(SkinValue::roundHalfEven(356.5), 356);
  EXPECT_EQ(SkinValue::roundHalfEven(357.5), 358);
  EXPECT_EQ(SkinValue::roundHalfEven(-0.5), 0);
  EXPECT_EQ(SkinValue::roundHalfEven(1e300), std::numeric_limits<qint32>::max());
  EXPECT_EQ(SkinValue::roundHalfEven(-1e300), std::numeric_limits<qint32>::min());
}

}  // namespace

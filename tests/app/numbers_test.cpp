// Number texts of the download attempt: rounding to hundredths, the general
// number text, the megabyte labels under both decimal separators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "app/Main.h"
#include "framework/Graphics.h"

namespace {

class SeparatorGuard {
 public:
  explicit SeparatorGuard(char c) { SetDecimalSeparator(c); }
  ~SeparatorGuard() { SetDecimalSeparator(0); }
};

std::string Mb(const char* utf8) {
  return Utf8ToAnsi(utf8);
}

TEST(MegabyteText, LabelTableUnderBothSeparators) {
  struct Case {
    int64_t Bytes;
    const char* Comma;
    const char* Point;
  } cases[] = {
      {0, "0 МБ", "0 МБ"},
      {1, "0 МБ", "0 МБ"},
      {131072, "0,13 МБ", "0.13 МБ"},  // 12.5 hundredths: half rounds up
      {1000000, "0,95 МБ", "0.95 МБ"},
      {1572864, "1,5 МБ", "1.5 МБ"},
      {10485760, "10 МБ", "10 МБ"},
      {123456789, "117,74 МБ", "117.74 МБ"},
      {2147483647, "2048 МБ", "2048 МБ"},
      {5242, "0 МБ", "0 МБ"},        // 0.4999 hundredths
      {5243, "0,01 МБ", "0.01 МБ"},  // 0.5000 hundredths
      {1038090, "0,99 МБ", "0.99 МБ"},
      {1043333, "0,99 МБ", "0.99 МБ"},
      {1043334, "1 МБ", "1 МБ"},  // 99.5 hundredths carry into the whole
  };
  for (const Case& c : cases) {
    {
      SeparatorGuard g(',');
      EXPECT_EQ(MegabyteText(c.Bytes), Mb(c.Comma)) << c.Bytes;
    }
    {
      SeparatorGuard g('.');
      EXPECT_EQ(MegabyteText(c.Bytes), Mb(c.Point)) << c.Bytes;
    }
  }
}

// The label's integer route must agree with rounding the 15-digit text and
// printing the result, for every byte count a gauge can hold.
TEST(MegabyteText, AgreesWithTheGeneralRoute) {
  SeparatorGuard g(',');
  auto general = [](int64_t n) {
    return FloatToGeneralText(RoundToDecimals(-2, static_cast<double>(n) / 1048576.0), ',') +
           Utf8ToAnsi(" МБ");
  };
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int64_t> any(0, INT32_MAX);
  for (int i = 0; i < 200000; ++i) {
    const int64_t n = any(rng);
    ASSERT_EQ(MegabyteText(n), general(n)) << n;
  }
  // Around every half hundredth of the first 3 MB, where rounding turns.
  for (int64_t h = 0; h < 300; ++h) {
    const int64_t edge = (2 * h + 1) * 1048576 / 200;
    for (int64_t n = std::max<int64_t>(0, edge - 2); n <= edge + 2; ++n) {
      ASSERT_EQ(MegabyteText(n), general(n)) << n;
    }
  }
  for (int64_t n : {int64_t{INT32_MAX} - 1, int64_t{INT32_MAX}, int64_t{1} << 32})
    EXPECT_EQ(MegabyteText(n), general(n)) << n;
}

TEST(RoundToDecimals, Cases) {
  struct Case {
    int32_t Digits;
    double X, Want;
  } cases[] = {
      {-2, 1.005, 1.01},    // just below 1.005 in binary, but its 15-digit hundredfold is 100.5
      {-2, -1.237, -1.23},  // negative values are cut toward zero
      {-2, -1.999, -1.99},
      {-2, 0.0, 0.0},
      {-2, 0.125, 0.13},
      {-2, 2.675, 2.68},
      {-2, 117.737568855286, 117.74},
      {-2, 9.5367431640625E-5, 0.0},
      {0, 2.5, 3.0},
      {0, 2.4999, 2.0},
      {1, 1234.0, 1230.0},
      {1, 1235.0, 1240.0},
      {-3, 1.0005, 1.001},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(RoundToDecimals(c.Digits, c.X), c.Want) << c.Digits << " " << c.X;
}

TEST(FloatToGeneralText, Forms) {
  struct Case {
    long double V;
    const char* Comma;
  } cases[] = {
      {0, "0"},
      {9.5367431640625E-5L, "9,5367431640625E-5"},
      {12.5L, "12,5"},
      {150, "150"},
      {1000, "1000"},
      {11773.7568855286L, "11773,7568855286"},
      {204799.999904633L, "204799,999904633"},
      {0.0001L, "0,0001"},
      {0.00001L, "1E-5"},
      {123456789012345.0L, "123456789012345"},
      {1e15L, "1E15"},
      {1234567890123456.0L, "1,23456789012346E15"},
      {-0.5L, "-0,5"},
      {1.0L / 3, "0,333333333333333"},
      {2.0L / 3, "0,666666666666667"},
      {0.9999999999999999L, "1"},  // half up carries into a new digit
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToGeneralText(c.V, ','), c.Comma);
  EXPECT_EQ(FloatToGeneralText(12.5L, '.'), "12.5");
}

}  // namespace

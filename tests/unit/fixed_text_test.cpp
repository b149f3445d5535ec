// FixedText makes the text printf's "%.*f" makes, for the values the
// program formats (rates, sizes, decimals read back) and for the hard ones:
// exact halves, values just off a half, tiny and huge magnitudes, signs.
#include "core/Utils/fixed_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

using kestro::FixedText;

namespace {

std::string Printf(double value, int decimals) {
  std::vector<char> buf(2048);
  std::snprintf(buf.data(), buf.size(), "%.*f", decimals, value);
  return buf.data();
}

}  // namespace

TEST(FixedText, RoundsLikePrintf) {
  const double values[] = {0.0, -0.0, 1.0, 0.5, 1.5, 2.5, 0.125, 0.375, 2.675, 1.005, 0.045,
                           9.995, 99.5, 1e-7, 5e-324, DBL_MIN, 123456789.987654321, 1e15 + 0.5,
                           4503599627370497.0, 1e22, 1e300, DBL_MAX, -1.25, -0.001, 1048575.9999};
  for (double v : values)
    for (int decimals : {0, 1, 2, 3, 4, 20})
      EXPECT_EQ(FixedText(v, decimals), Printf(v, decimals)) << v << " with " << decimals;
}

TEST(FixedText, MatchesPrintfOnRandomValues) {
  std::mt19937_64 random(20261210);
  std::uniform_real_distribution<double> rates(0.0, 100000.0);
  std::uniform_int_distribution<int> exponents(-40, 40);
  for (int i = 0; i < 20000; ++i) {
    const double v = i % 2 ? rates(random) : std::ldexp(rates(random), exponents(random));
    const int decimals = i % 6;
    ASSERT_EQ(FixedText(v, decimals), Printf(v, decimals)) << v << " with " << decimals;
  }
}

TEST(FixedText, NamesValuesThatAreNotFinite) {
  EXPECT_EQ(FixedText(HUGE_VAL, 2), "inf");
  EXPECT_EQ(FixedText(-HUGE_VAL, 2), "-inf");
  EXPECT_EQ(FixedText(std::nan(""), 2), "nan");
}

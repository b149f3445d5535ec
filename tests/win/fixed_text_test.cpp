// Decimal texts in the Windows build: FixedText gives what the MinGW
// runtime's printf gave before the stub dropped it, exact halves included.
#include "core/Utils/fixed_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

TEST(FixedText, MatchesTheMinGWRuntimesPrintf) {
  std::mt19937_64 random(1210);
  std::uniform_int_distribution<int> cents(0, 2000000);
  std::uniform_real_distribution<double> any(0.0, 1e7);
  for (int i = 0; i < 20000; ++i) {
    // Every other value is a sum of eighths: an exact half at 2 decimals.
    const double v = i % 2 ? any(random) : cents(random) / 8.0;
    const int decimals = i % 5;
    char expected[512];
    std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
    ASSERT_EQ(kestro::FixedText(v, decimals), expected) << i;
  }
}

#include <gtest/gtest.h>

#include <fmt/printf.h>

#include <cmath>
#include <limits>
#include <random>

#include "formats/fixed_decimal.h"

namespace gridora {
namespace {

std::string Fixed3(double value) {
  std::string text;
  AppendFixed3(text, value);
  return text;
}

TEST(FixedDecimal, MatchesPrintfIncludingHalfwayCasesAndSigns) {
  const double special[] = {0.0,
                            -0.0,
                            0.0625,
                            0.1875,
                            -0.0625,
                            2.0005,
                            0.0005,
                            -0.0004,
                            0.9995,
                            1e15,
                            9e15,
                            1e300,
                            -1e300,
                            5e-324,
                            123.456,
                            602.52f,
                            -2.64f,
                            1e18,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::nan("")};
  for (double value : special) EXPECT_EQ(Fixed3(value), fmt::sprintf("%.3f", value)) << value;

  std::mt19937_64 random(42);
  for (int i = 0; i < 50000; ++i) {
    // Values of every magnitude, and multiples of 1/16 (exact halfway cases).
    const double value = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 80) - 70) *
                         ((random() & 1) ? 1.0 : -1.0);
    const double sixteenths = std::round(value * 16.0) / 16.0;
    ASSERT_EQ(Fixed3(value), fmt::sprintf("%.3f", value)) << value;
    ASSERT_EQ(Fixed3(sixteenths), fmt::sprintf("%.3f", sixteenths)) << sixteenths;
  }
  // The doubles nearest to decimal halfway points, just above or below them.
  for (int i = 0; i < 50000; ++i) {
    const double nearHalf = (i * 7 + 0.5) / 1000.0;
    ASSERT_EQ(Fixed3(nearHalf), fmt::sprintf("%.3f", nearHalf)) << nearHalf;
    ASSERT_EQ(Fixed3(-nearHalf * 1e6), fmt::sprintf("%.3f", -nearHalf * 1e6)) << nearHalf;
  }
}

}  // namespace
}  // namespace gridora

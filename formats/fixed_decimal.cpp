#include "formats/fixed_decimal.h"

#include <fmt/printf.h>

#include <cmath>
#include <limits>
#include <optional>

namespace gridora {
namespace {

// |value| * 1000 rounded to an integer as printf rounds it, when that can be decided
// cheaply; nothing otherwise.
std::optional<unsigned long long> ThousandthsOf(double value) {
  const double magnitude = std::fabs(value);
  if (!(magnitude < 4.0e12)) return std::nullopt;  // also NaN
  // The double product is within |product| * 2^-53 of the exact one, so unless it lies
  // that close to a halfway point, both round the same way.
  const double product = magnitude * 1000.0;
  const double whole = std::floor(product);
  const double fromHalf = product - whole - 0.5;  // exact
  if (std::fabs(fromHalf) > product * 0x1p-51) return static_cast<unsigned long long>(whole) + (fromHalf > 0 ? 1 : 0);

  // Near a halfway point: value * 1000 = value * 8 * 125, where 8 only moves the
  // exponent and 125 needs 7 bits, so the product of a 53-bit mantissa is exact in the
  // 64 bits of an x87 long double; ties go to even, as in printf.
  if constexpr (std::numeric_limits<long double>::digits >= 60) {
    const long double exact = static_cast<long double>(magnitude) * 1000.0L;
    auto units = static_cast<unsigned long long>(exact);
    const long double fraction = exact - static_cast<long double>(units);
    if (fraction > 0.5L || (fraction == 0.5L && (units & 1) != 0)) ++units;
    return units;
  }
  return std::nullopt;
}

}  // namespace

void AppendFixed3(std::string& text, double value) {
  const std::optional<unsigned long long> units = ThousandthsOf(value);
  if (!units) {
    text += fmt::sprintf("%.3f", value);
    return;
  }
  char digits[32];
  char* const end = digits + sizeof digits;
  char* p = end;
  unsigned long long rest = *units;
  for (int i = 0; i < 3; ++i, rest /= 10) *--p = static_cast<char>('0' + rest % 10);
  *--p = '.';
  do {
    *--p = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (std::signbit(value)) *--p = '-';
  text.append(p, end);
}

}  // namespace gridora

#pragma once
// "%.3f" formatting fast enough for a line per data point. The result is exactly what
// printf gives: the decimal is rounded from the double's exact binary value, halfway
// cases to even.
#include <string>

namespace gridora {

// Appends `value` formatted as "%.3f".
void AppendFixed3(std::string& text, double value);

}  // namespace gridora

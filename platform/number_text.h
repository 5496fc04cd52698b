#pragma once
// Locale-independent number conversions. The window's toolkit sets the process locale
// from the environment; numbers in files, dialogs and the profile must not follow it,
// so nothing here goes through strtod or the C locale.
#include <string>
#include <string_view>

namespace gridora {

// Whole-text conversions as the dialogs and the profile need them: blanks around the
// number are allowed, anything else makes the conversion fail.
bool ParseDouble(std::string_view text, double& value);
bool ParseFloat(std::string_view text, float& value);
bool ParseInt(std::string_view text, int& value);

// "%lf"-style scan: skips leading white space, converts the longest number prefix and
// advances `pos` past it. Returns false (pos unchanged) when no number starts there.
bool ScanDouble(std::string_view text, std::size_t& pos, double& value);

// "%.*g" with the given significant digits.
std::string FormatSignificant(double value, int digits);

// The shortest text that ParseDouble reads back as `value` (for a float: as a double
// that rounds to it), as the dialogs show their numbers: "%.*g" with the fewest
// significant digits from 6 on that do, so OK without an edit changes nothing. Values
// that fit 6 digits read as they always have ("0.1", "1e+07", "-0"); 4100033.1 and
// 353238.3 keep their last digit. Not finite: "%.6g".
std::string FormatRoundTrip(double value);
std::string FormatRoundTrip(float value);

}  // namespace gridora

#pragma once
// What the dialogs accept beyond "it converts as a number". A spacing, a lag width or
// an interval of 0 or less never moves forward; NaN and infinity reach the files; and a
// length such as 1e38 overflows single precision as soon as it is multiplied by a node
// count. Each rule returns the message the dialog shows, naming the field, or nothing.
#include <optional>
#include <string>

namespace gridora {

// The largest length or coordinate a dialog accepts: far beyond any survey in metres,
// and small enough that a node count (at most 2^31) times it stays a finite float.
inline constexpr double kLargestDialogLength = 1e15;

// Finite, greater than 0 and at most kLargestDialogLength: spacings, lag widths,
// intervals, distances, the variogram's range and sill.
std::optional<std::string> CheckPositiveLength(const std::string& name, double value);

// Finite and within ±kLargestDialogLength: origins, axis ends, window starts.
std::optional<std::string> CheckCoordinate(const std::string& name, double value);

// Finite: data values (the statistics band).
std::optional<std::string> CheckFinite(const std::string& name, double value);

}  // namespace gridora

#pragma once
// Lines as plain text: one vertex a line, "x y" (a third number, a height, is allowed
// and not used), numbers apart by spaces, tabs or a comma; a blank line ends a line and
// starts the next. Lines starting with '#' are comments.
#include <string>
#include <vector>

#include "document/polyline.h"

namespace gridora {

// Reads every line of the file into `lines`. False, with `problem` naming the file and
// what is wrong (a field that is not a finite number, a line of one vertex, no line at
// all, a file that is no text), and `lines` untouched.
bool ReadPolylineText(const std::string& path, std::vector<Polyline>& lines, std::string& problem);

}  // namespace gridora

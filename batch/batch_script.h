#pragma once
// Parsing of batch scripts: one command a line, NAME [ARGUMENT] [KEY=VALUE ...]; values
// and the argument may be double-quoted to hold spaces, and "" inside the quotes is one
// double quote (crs="PROJCS[""JGD2011 / Japan Plane Rectangular CS VIII"",...]");
// blank lines and lines starting with '#' are skipped.
#include <optional>
#include <string>

#include "commands/batch_line.h"

namespace gridora {

// Parses one line; nullopt for blank and comment lines. A malformed line (unbalanced
// quote, empty key, a key given twice) sets `error`.
std::optional<BatchLine> ParseBatchLine(const std::string& text, int lineNumber, std::string& error);

}  // namespace gridora

#pragma once
// The subcommands of the executable beyond the window and the batch mode:
//
//     gridora grid INPUT -o OUTPUT [--method ...] [--region ...] [--spacing ...] ...
//     gridora contour GRID -o OUTPUT [--interval I] [--min A] [--max B]
//     gridora info FILE [--json]
//
// Each turns its arguments into the batch lines of the same job and runs them through
// the batch runner (cli/batch_session.h): one implementation of every step. No window
// and no display are involved.
#include <iosfwd>
#include <string>
#include <vector>

namespace gridora {

// Whether `word` (the first argument) names a subcommand.
bool IsSubcommand(const std::string& word);

// Runs the subcommand args[0] with args[1...]. The exit status: 0 done, 2 with one line
// on `err` otherwise. `progress`: show a bar of progress on `err` (it is a terminal).
int RunSubcommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);

}  // namespace gridora

#pragma once
// The help of the command-line subcommands, written once: `--help` prints it and the
// build turns the same text into the manual page (cli/man/make_man_page.cpp). Plain
// data, no dependency beyond the standard library, so the page generator compiles it
// on its own.
#include <string>
#include <vector>

namespace gridora {

struct HelpOption {
  std::string flags;  // "--region XMIN/XMAX/YMIN/YMAX"
  std::string text;
};

struct HelpExample {
  std::string command;
  std::string text;
};

struct SubcommandHelp {
  std::string name;      // "grid"
  std::string synopsis;  // the usage line without "gridora "
  std::string summary;   // one sentence
  std::string description;
  std::vector<HelpOption> options;
  std::vector<HelpExample> examples;
};

// grid, contour, info: in that order.
const std::vector<SubcommandHelp>& SubcommandHelps();
// The help of one subcommand, or null.
const SubcommandHelp* FindSubcommandHelp(const std::string& name);
// The text `gridora NAME --help` prints.
std::string HelpText(const SubcommandHelp& help);
// The short usage of every subcommand, for a wrong call.
std::string UsageText();

}  // namespace gridora

// Writes the manual page gridora(1) of the subcommands from the text their --help
// prints (cli/command_line_help.h), so the two never differ.
//
//     gridora_make_man_page VERSION OUTPUT
#include <fstream>
#include <iostream>
#include <string>

#include "cli/command_line_help.h"

namespace {

// Text for troff: a backslash doubled, a hyphen made a minus sign where an option is
// written, and a line that would start with a dot or a quote escaped.
std::string Troff(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: gridora_make_man_page VERSION OUTPUT\n";
    return 2;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << ".TH GRIDORA 1 \"\" \"Gridora " << argv[1] << "\" \"User Commands\"\n";
  out << ".SH NAME\ngridora \\- grid scattered measurements by minimum curvature or kriging\n";
  out << ".SH SYNOPSIS\n.nf\n";
  out << "\\fBgridora\\fR [\\fIFILE\\fR]\n";
  out << "\\fBgridora \\-\\-batch\\fR \\fISCRIPT\\fR [\\fB\\-\\-profile\\fR \\fIFILE\\fR] [\\fB\\-\\-verbose\\fR]\n";
  for (const gridora::SubcommandHelp& help : gridora::SubcommandHelps())
    out << "\\fBgridora\\fR " << Troff(help.synopsis) << "\n";
  out << ".fi\n";
  out << ".SH DESCRIPTION\nWithout arguments, or with a file, \\fBgridora\\fR opens its window. With "
         "\\fB\\-\\-batch\\fR it runs the commands of a script with no window and no display. The subcommands below "
         "do one job each from the command line, with the batch mode's commands; they need no display either.\n";
  for (const gridora::SubcommandHelp& help : gridora::SubcommandHelps()) {
    out << ".SH " << Troff("GRIDORA " + help.name) << "\n";
    out << ".B gridora " << Troff(help.synopsis) << "\n.PP\n"
        << Troff(help.summary) << ".\n.PP\n"
        << Troff(help.description) << "\n";
    out << ".SS Options\n";
    for (const gridora::HelpOption& option : help.options)
      out << ".TP\n.B " << Troff(option.flags) << "\n" << Troff(option.text) << "\n";
    out << ".SS Examples\n";
    for (const gridora::HelpExample& example : help.examples)
      out << ".TP\n.B " << Troff(example.command) << "\n" << Troff(example.text) << "\n";
  }
  out << ".SH EXIT STATUS\n0 when the job is done; 2 when it cannot be, with one line on standard error.\n";
  out << ".SH SEE ALSO\nThe README of the program, section \"The command line\", and the Python module "
         "\\fBgridora\\fR.\n";
  out.flush();
  if (!out) {
    std::cerr << "gridora_make_man_page: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}

// Gridora: the window, or with --batch SCRIPT the same commands run from a script with
// no window and no display, or one job of the subcommands grid, contour and info
// (cli/command_line.h), which never start the toolkit.
#include <QApplication>
#include <QGuiApplication>
#include <QStringList>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/scripted_user_interface.h"
#include "cli/command_line.h"
#include "cli/command_line_help.h"
#include "cli/terminal_progress.h"
#include "main_window.h"
#include "platform/ini_file_profile.h"
#include "platform/trace.h"
#include "qt_batch_view_host.h"
#include "qt_profile.h"
#include "view/document.h"

namespace {

struct Options {
  bool batch = false;
  std::string script;
  std::string profile;
  std::string file;
  bool verbose = false;
  std::string error;
};

std::string Usage() {
  return "usage: gridora [FILE]\n"
         "       gridora --batch SCRIPT [--profile FILE] [--verbose]\n" +
         gridora::UsageText() + "Each subcommand takes --help.\n";
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--batch" && i + 1 < argc) {
      options.batch = true;
      options.script = argv[++i];
    } else if (arg == "--profile" && i + 1 < argc) {
      options.profile = argv[++i];
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--help" || arg == "-h") {
      options.error = " ";
    } else if (!arg.empty() && arg[0] == '-' && arg.size() > 1) {
      // Qt's own options (-platform, -style ...) are left to it.
      if (arg == "-platform" || arg == "-style" || arg == "-display") ++i;
    } else if (options.file.empty()) {
      options.file = arg;
    }
  }
  return options;
}

// Numbers in files, dialogs and the profile never follow the user's locale.
void KeepNumbersInTheCLocale() { std::setlocale(LC_NUMERIC, "C"); }

// The toolkit wants a runtime folder; without one from the session, the batch run makes
// its own and removes it when the run ends.
class OwnRuntimeFolder {
 public:
  OwnRuntimeFolder() {
    if (std::getenv("XDG_RUNTIME_DIR")) return;
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "gridora-runtime-XXXXXX").string();
    if (error || !mkdtemp(pattern.data())) return;
    path_ = pattern;
    setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
  }
  ~OwnRuntimeFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  OwnRuntimeFolder(const OwnRuntimeFolder&) = delete;
  OwnRuntimeFolder& operator=(const OwnRuntimeFolder&) = delete;

 private:
  std::filesystem::path path_;
};

int RunBatch(int argc, char** argv, const Options& options) {
  // The batch mode never needs a display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const OwnRuntimeFolder runtimeFolder;  // outlives the application object
  QGuiApplication app(argc, argv);
  KeepNumbersInTheCLocale();
  std::unique_ptr<gridora::Profile> profile;
  if (!options.profile.empty())
    profile = std::make_unique<gridora::IniFileProfile>(options.profile);
  else
    profile = std::make_unique<gridora::QtProfile>();
  gridora::Document doc(*profile);
  gridora::ScriptedUserInterface ui(std::cout);
  gridora::QtBatchViewHost view(ui, doc);
  return gridora::RunBatchScript(options.script, doc, *profile, ui, view, std::cerr);
}

int RunWindow(int argc, char** argv, const Options& options) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Quarvex Applications");
  QApplication::setApplicationName("Gridora");
  KeepNumbersInTheCLocale();
  gridora::QtProfile profile;
  gridora::Document doc(profile);
  gridora::MainWindow frame(doc, profile);
  frame.show();
  if (!options.file.empty()) frame.OpenFile(options.file);
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && gridora::IsSubcommand(argv[1])) {
    // No display, no toolkit: the job runs on the core alone.
    KeepNumbersInTheCLocale();
    try {
      return gridora::RunSubcommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                                    gridora::StandardErrorIsTerminal());
    } catch (const std::bad_alloc&) {
      std::cerr << "gridora: out of memory\n";
      return 2;
    }
  }
  const Options options = ParseOptions(argc, argv);
  if (!options.error.empty()) {
    std::cout << Usage();
    return options.error == " " ? 0 : 2;
  }
  gridora::SetTraceEnabled(options.verbose);
  try {
    return options.batch ? RunBatch(argc, argv, options) : RunWindow(argc, argv, options);
  } catch (const std::bad_alloc&) {
    std::cerr << "gridora: out of memory\n";
    return 3;
  }
}

#pragma once
// Runs batch scripts against a fresh document over a memory profile, inside a
// temporary folder that is also the current directory (diagnostic files land there).
#include <ostream>
#include <sstream>
#include <string>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "platform/profile.h"
#include "support/current_folder.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora::test {

struct BatchRun {
  TempFolder folder;
  CurrentFolder inFolder{folder.Path()};
  MemoryProfile profile;
  Document doc{profile};
  std::ostringstream out, err;
  ScriptedUserInterface ui{out};
  BatchViewHost view{ui};

  int Run(const std::string& script) {
    const auto path = folder / "script.txt";
    WriteFileBytes(path, script);
    return RunBatchScript(path.string(), doc, profile, ui, view, err);
  }
};

}  // namespace gridora::test

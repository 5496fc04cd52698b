// A script that cannot be read, or a line that asks for something no command takes,
// stops the run with status 2 and a message naming the script line; it never passes.
#include <gtest/gtest.h>

#include <filesystem>

#include "batch/batch_runner.h"
#include "batch/batch_script.h"
#include "batch/batch_script_reader.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

TEST(BatchExitStatus, ScriptsThatCannotBeReadStopWithStatusTwo) {
  struct Case {
    const char* what;
    std::function<std::string(BatchRun&)> scriptPath;
    const char* errPart;
  } cases[] = {
      {"a folder", [](BatchRun& run) { return run.folder.Path().string(); }, "it is a folder"},
      {"a missing file", [](BatchRun& run) { return (run.folder / "missing.txt").string(); },
       "cannot open the batch script: No such file or directory"},
      // Reading this process's own memory at offset 0 fails with an I/O error.
      {"a read error", [](BatchRun&) { return std::string("/proc/self/mem"); }, "cannot read the batch script"},
      {"a line longer than any command",
       [](BatchRun& run) {
         test::WriteFileBytes(run.folder / "long.txt",
                              "zoom-x-in\n" + std::string(BatchScriptReader::kMaximumLineBytes + 1, 'a') + "\n");
         return (run.folder / "long.txt").string();
       },
       "long.txt:2: line 2 is longer than"},
  };
  for (const auto& c : cases) {
    BatchRun run;
    const std::string path = c.scriptPath(run);
    EXPECT_EQ(RunBatchScript(path, run.doc, run.profile, run.ui, run.view, run.err), 2) << c.what;
    EXPECT_NE(run.err.str().find(c.errPart), std::string::npos) << c.what << ": " << run.err.str();
  }
}

TEST(BatchExitStatus, LinesAskingForWhatNoCommandTakesAreErrors) {
  struct Case {
    const char* script;
    const char* errPart;
  } cases[] = {
      {"zoom-x-in extra\n", "script.txt:1: zoom-x-in takes no argument, but 'extra' was given"},
      {"zoom-x-in\nnew \"dx=5\"\n", "script.txt:2: new takes no argument, but 'dx=5' was given"},
      {"delete-all answer=no answer=yes\n", "script.txt:1: key 'answer' given twice"},
      {"render out.png width=10 width=20\n", "key 'width' given twice"},
      {"open-random points.xyz import=secondary\n", "script.txt:1: import=secondary needs loaded points"},
      {"open-random points.xyz import=append\n", "import=append needs loaded points"},
  };
  for (const auto& c : cases) {
    BatchRun run;
    test::WriteFileBytes(run.folder / "points.xyz", "0 0 1\n1 0 2\n0 1 3\n");
    EXPECT_EQ(run.Run(c.script), 2) << c.script;
    EXPECT_NE(run.err.str().find(c.errPart), std::string::npos) << c.script << run.err.str();
    EXPECT_EQ(run.doc.primaryData->count, 0) << c.script;  // the refused line did not run
  }
}

TEST(BatchExitStatus, ArgumentsAndKeysThatBelongStillRun) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", "0 0 1\n1 0 2\n0 1 3\n");
  test::WriteFileBytes(run.folder / "more.xyz", "0 0 4\n1 0 5\n0 1 6\n");
  EXPECT_EQ(run.Run("\xEF\xBB\xBFopen-random points.xyz import=new\r\n"
                    "open-random \"more.xyz\" import=secondary\n"),
            0)
      << run.err.str();
  EXPECT_EQ(run.doc.primaryData->count, 3);
  ASSERT_TRUE(run.doc.secondaryData);
  EXPECT_EQ(run.doc.secondaryData->count, 3);
}

}  // namespace
}  // namespace gridora

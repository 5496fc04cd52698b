// Save dialogs of the batch mode add the command's extension to a name typed without
// one, as the window's do; refused dialog values stop the script with status 2.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/batch_run.h"

namespace gridora {
namespace {

TEST(BatchSave, NameWithoutExtensionGetsTheCommandsExtension) {
  test::BatchRun run;
  ASSERT_TRUE(run.doc.grid->Reshape(1, 3, 2));
  ASSERT_EQ(run.Run("save survey\nsave-csv table\nsave-xml section answer=no\n"), 0) << run.err.str();
  for (const char* name : {"survey.snp", "table.csv", "section.xml"})
    EXPECT_TRUE(std::filesystem::exists(run.folder / name)) << name;
  for (const char* name : {"survey", "table", "section"}) EXPECT_FALSE(std::filesystem::exists(run.folder / name));

  // Opened again under either name, it is the document.
  std::filesystem::rename(run.folder / "survey.snp", run.folder / "survey");
  test::BatchRun again;
  ASSERT_EQ(again.Run("open " + (run.folder / "survey").string() + "\n"), 0) << again.err.str();
  EXPECT_EQ(again.doc.grid->NX, 3);
  EXPECT_EQ(again.doc.grid->NY, 2);
}

TEST(BatchDialogs, RefusedValueExitsWithStatusTwo) {
  const char* scripts[] = {"property dx=nan\n", "property dy=0\n", "max-distance value=-1\n",
                           "statistics min=5 max=1\n", "average-x xint=inf\n"};
  for (const char* script : scripts) {
    test::BatchRun run;
    ASSERT_TRUE(run.doc.grid->Reshape(1, 3, 2));
    EXPECT_EQ(run.Run(script), 2) << script;
    EXPECT_NE(run.err.str().find("refused"), std::string::npos) << script << run.err.str();
  }
}

}  // namespace
}  // namespace gridora

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "commands/command_ids.h"
#include "commands/document_file.h"
#include "commands/file_commands.h"
#include "dialogs/dialogs.h"
#include "formats/snp_file.h"
#include "support/batch_run.h"
#include "support/current_folder.h"
#include "support/test_support.h"

namespace gridora {
namespace {

class TitledViewHost : public test::FakeViewHost {
 public:
  void SetTitle(const std::string& name) override { titles.push_back(name); }
  std::vector<std::string> titles;
};

struct FileCommands : ::testing::Test {
  test::TempFolder folder;
  test::CurrentFolder inFolder{folder.Path()};
  test::DocumentFixture f;
  TitledViewHost view;
  CommandContext context{*f.doc, f.ui, view, f.profile};

  CommandStatus Run(int id) { return f.table.Execute(id, context); }
  std::string File(const std::string& name, const std::string& bytes) {
    test::WriteFileBytes(folder / name, bytes);
    return (folder / name).string();
  }
  std::string SnpWithOneNode(float value) {
    MemoryProfile profile;
    auto grid = CreateGridModel(profile);
    EXPECT_TRUE(grid->Reshape(1, 1, 1));
    grid->Value(0, 0, 0) = value;
    auto points = CreateRandomData();
    std::ostringstream out;
    WriteSnp(*grid, out, *points);
    return out.str();
  }
};

TEST_F(FileCommands, OpenReadsADocumentFile) {
  const std::string path = File("one.snp", SnpWithOneNode(8.0f));
  f.doc->mapBitmapDirty = 0;
  f.ui.files.push_back(path);
  ASSERT_EQ(Run(ID_FILE_OPEN), CommandStatus::Done);
  EXPECT_EQ(f.ui.filters.back().description, "Gridora Files (*.snp)");
  EXPECT_EQ(f.ui.filters.back().pattern, "*.snp");
  EXPECT_EQ(f.ui.messages, (std::vector<std::string>{"1 1.000000 1.000000 1 1"}));
  EXPECT_EQ(f.doc->grid->Value(0, 0, 0), 8.0f);
  EXPECT_EQ(f.doc->scaleFromFile, 1);
  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  EXPECT_EQ(f.doc->dataFolder, folder.Path().string());
  EXPECT_EQ(f.doc->pathName, path);
  EXPECT_EQ(view.updates, 1);
  EXPECT_EQ(view.recentFiles, (std::vector<std::string>{path}));
  EXPECT_EQ(view.titles, (std::vector<std::string>{"one.snp"}));
}

TEST_F(FileCommands, OpenHandsOtherNamesToTheCsvReader) {
  const std::string path = File("t.csv", "1,2\n3,4\n5,6\n");
  f.ui.files.push_back(path);
  ASSERT_EQ(Run(ID_FILE_OPEN), CommandStatus::Done);
  EXPECT_EQ(f.ui.dialogTitles, (std::vector<std::string>{"Import option"}));
  EXPECT_EQ(f.doc->grid->NX, 2);
  EXPECT_EQ(f.doc->grid->NY, 3);
  EXPECT_EQ(f.doc->scaleFromFile, 2);
  EXPECT_EQ(f.ui.messages.back(), "Min. = 1.000000 Max. = 6.000000");
  EXPECT_EQ(view.titles.back(), "t.csv");
  EXPECT_EQ(view.updates, 1);

  // Saving now asks for a name: the table is never overwritten by the document file.
  const std::string table = test::ReadFileBytes(path);
  f.ui.files.push_back((folder / "t.snp").string());
  ASSERT_EQ(Run(ID_FILE_SAVE), CommandStatus::Done);
  EXPECT_EQ(test::ReadFileBytes(path), table);
  EXPECT_EQ(f.doc->pathName, (folder / "t.snp").string());
  EXPECT_EQ(view.titles.back(), "t.snp");
}

TEST_F(FileCommands, CanceledOrFailedOpenChangesNothing) {
  ASSERT_TRUE(f.doc->grid->Reshape(1, 1, 1));
  f.doc->grid->Value(0, 0, 0) = 5.0f;
  f.doc->mapBitmapDirty = 0;
  EXPECT_EQ(Run(ID_FILE_OPEN), CommandStatus::Canceled);  // no file chosen

  f.ui.files.push_back(File("t.csv", "1,2\n"));
  f.ui.dialogHandlers.push_back([](DialogData&) { return false; });
  EXPECT_EQ(Run(ID_FILE_OPEN), CommandStatus::Canceled);

  f.ui.files.push_back(File("bad.snp", "tiny"));
  EXPECT_EQ(Run(ID_FILE_OPEN), CommandStatus::Failed);
  f.ui.files.push_back((folder / "missing.snp").string());
  EXPECT_EQ(Run(ID_FILE_OPEN), CommandStatus::Failed);
  EXPECT_NE(f.ui.messages.back().find("missing.snp"), std::string::npos);

  EXPECT_EQ(f.doc->grid->Value(0, 0, 0), 5.0f);
  EXPECT_EQ(f.doc->mapBitmapDirty, 0);
  EXPECT_EQ(f.doc->dataFolder, "");
  EXPECT_EQ(view.Repaints(), 0);
  EXPECT_TRUE(view.recentFiles.empty());
}

TEST_F(FileCommands, SaveWithoutANameIsSaveAsThenWritesInPlace) {
  ASSERT_TRUE(f.doc->grid->Reshape(1, 2, 3));
  const std::string path = (folder / "doc.snp").string();
  f.ui.files.push_back(path);
  ASSERT_EQ(Run(ID_FILE_SAVE), CommandStatus::Done);
  EXPECT_EQ(test::ReadFileBytes(path).size(), 1016u);
  EXPECT_EQ(f.doc->pathName, path);
  EXPECT_EQ(f.doc->dataFolder, folder.Path().string());
  EXPECT_EQ(view.recentFiles, (std::vector<std::string>{path}));

  f.doc->grid->Value(0, 1, 2) = 9.0f;
  ASSERT_EQ(Run(ID_FILE_SAVE), CommandStatus::Done);  // no dialog this time
  EXPECT_EQ(f.ui.filters.size(), 1u);
  auto grid = CreateGridModel(f.profile);
  auto points = CreateRandomData();
  std::ifstream in(path, std::ios::binary);
  ASSERT_EQ(ReadSnpAndReport(*grid, in, *points, f.ui, path), 1);
  EXPECT_EQ(grid->Value(0, 1, 2), 9.0f);
  // Nothing but the document is left in the folder.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(FileCommands, FailedSaveSaysSoAndKeepsWhatWasThere) {
  // A folder in the way of the target: the rename fails, the folder stays.
  std::filesystem::create_directory(folder / "taken.snp");
  File("taken.snp/inside.txt", "keep");
  f.ui.files.push_back((folder / "taken.snp").string());
  EXPECT_EQ(Run(ID_FILE_SAVE_AS), CommandStatus::Failed);
  EXPECT_NE(f.ui.messages.back().find("Cannot save"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(folder / "taken.snp" / "inside.txt"), "keep");
  EXPECT_EQ(f.doc->pathName, "");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++files;
  EXPECT_EQ(files, 1);

  f.ui.files.push_back((folder / "no" / "such" / "folder.snp").string());
  EXPECT_EQ(Run(ID_FILE_SAVE_AS), CommandStatus::Failed);
  EXPECT_TRUE(view.recentFiles.empty());
}

TEST_F(FileCommands, RandomDataSummaryAndImportChoices) {
  f.ui.files.push_back(GRIDORA_SOURCE_DIR "/examples/volcano_samples.xyz");
  f.doc->mapBitmapDirty = 0;
  ASSERT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Done);
  EXPECT_TRUE(f.ui.dialogTitles.empty());  // nothing loaded yet: no question
  EXPECT_EQ(f.ui.filters.back().description, "Random data file (*.*)");
  EXPECT_EQ(f.ui.messages.back(),
            "Number of data = 300\nX : min. = -2.640000 max. = 602.520000\n"
            "Y : min. = -1.870000 max. = 862.290000\nZ : min. = 94.000000 max. = 190.000000");
  EXPECT_EQ(f.doc->primaryData->count, 300);
  EXPECT_EQ(f.doc->dataFolder, GRIDORA_SOURCE_DIR "/examples");
  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  EXPECT_EQ(view.updates, 1);
  EXPECT_TRUE(std::filesystem::exists(folder / "ReadText.txt"));

  auto choose = [&](int selection) {
    f.ui.dialogHandlers.push_back([selection](DialogData& d) {
      dynamic_cast<ImportSelectionDialog&>(d).selection = selection;
      return true;
    });
  };
  const std::string second = File("second.xyz", "1 2 3\n4 5 6\n");
  f.ui.files.push_back(second);
  choose(1);
  EXPECT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Canceled);
  EXPECT_EQ(f.ui.messages.back(), "Sorry. Under construction.");
  EXPECT_EQ(f.ui.dialogTitles.back(), "Import selection");
  EXPECT_EQ(f.doc->primaryData->count, 300);

  f.ui.files.push_back(second);
  choose(2);
  ASSERT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Done);
  EXPECT_EQ(f.ui.messages.back(),
            "Number of data (2nd variable)= 2\nX : min. = 1.000000 max. = 4.000000\n"
            "Y : min. = 2.000000 max. = 5.000000\nZ : min. = 3.000000 max. = 6.000000");
  ASSERT_TRUE(f.doc->secondaryData);
  EXPECT_EQ(f.doc->secondaryData->count, 2);
  EXPECT_EQ(f.doc->primaryData->count, 300);
  EXPECT_TRUE(f.State(ID_SECONDARY_VARIABLE).enabled);

  f.ui.files.push_back(second);
  f.ui.dialogHandlers.push_back([](DialogData&) { return false; });
  EXPECT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Canceled);

  f.ui.files.push_back(second);
  choose(0);
  ASSERT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Done);
  EXPECT_EQ(f.doc->primaryData->count, 2);
  EXPECT_EQ(f.doc->primaryData->xMaximum, 4.0f);
}

TEST_F(FileCommands, RandomDataThatGivesNoPointsKeepsTheDocument) {
  f.ui.files.push_back(File("first.xyz", "1 2 3\n"));
  ASSERT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Done);
  const int repaints = view.Repaints();

  f.ui.files.push_back(File("words.txt", "x,y,z\n1,2,3\n"));
  EXPECT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Failed);
  EXPECT_EQ(f.ui.messages.back(),
            "Number of data = 0\nX : min. = 10000000000.000000 max. = -10000000000.000000\n"
            "Y : min. = 10000000000.000000 max. = -10000000000.000000\n"
            "Z : min. = 10000000000.000000 max. = -10000000000.000000");

  f.ui.files.push_back(File("be.xyz", std::string("\xFE\xFF\0001", 4)));
  EXPECT_EQ(Run(ID_OPEN_RANDOM_DATA), CommandStatus::Failed);
  EXPECT_NE(f.ui.messages.back().find("big-endian"), std::string::npos);

  EXPECT_EQ(f.doc->primaryData->count, 1);
  EXPECT_EQ(f.doc->primaryData->zMaximum, 3.0f);
  EXPECT_EQ(view.Repaints(), repaints);
  EXPECT_EQ(f.doc->dataFolder, folder.Path().string());
}

TEST_F(FileCommands, PwriDataMessages) {
  f.doc->dataFolder = "kept";
  f.ui.files.push_back(File("grid.txt", "0 10 20 30\n5 1 2 3\n6 4 5 6\n"));
  ASSERT_EQ(Run(ID_OPEN_PWRI), CommandStatus::Done);
  EXPECT_EQ(f.ui.filters.back().description, "PWRI grid data (*.*)");
  EXPECT_EQ(f.ui.messages.back(), "Number of data = 6 min.= 1.000000 max.= 6.000000");
  EXPECT_EQ(f.doc->primaryData->count, 6);
  EXPECT_EQ(f.doc->dataFolder, "kept");
  EXPECT_EQ(view.updates, 1);

  f.ui.files.push_back(File("wrong.txt", "1 10 20\n5 1 2\n"));
  EXPECT_EQ(Run(ID_OPEN_PWRI), CommandStatus::Failed);
  EXPECT_EQ(f.ui.messages.back(), "Wrong data format !");

  f.ui.files.push_back(File("empty.txt", "0 10 20\n"));
  EXPECT_EQ(Run(ID_OPEN_PWRI), CommandStatus::Failed);
  EXPECT_EQ(f.ui.messages.back(), "Number of data = 0 min.= 10000000000.000000 max.= -10000000000.000000");

  f.ui.files.push_back((folder / "none.txt").string());
  EXPECT_EQ(Run(ID_OPEN_PWRI), CommandStatus::Failed);
  EXPECT_NE(f.ui.messages.back().find("none.txt"), std::string::npos);

  EXPECT_EQ(f.doc->primaryData->count, 6);
  EXPECT_EQ(view.updates, 1);
}

TEST_F(FileCommands, OpenDocumentFileServesTheCommandLine) {
  const std::string path = File("cmd.snp", SnpWithOneNode(3.0f));
  ASSERT_EQ(OpenDocumentFile(context, path), CommandStatus::Done);
  EXPECT_EQ(f.doc->grid->Value(0, 0, 0), 3.0f);
  EXPECT_EQ(view.recentFiles, (std::vector<std::string>{path}));
  EXPECT_EQ(OpenDocumentFile(context, File("junk.snp", "junk")), CommandStatus::Failed);
}

struct FileBatch : ::testing::Test, test::BatchRun {
  using test::BatchRun::Run;
};

TEST_F(FileBatch, OpenSaveAndImports) {
  test::WriteFileBytes(folder / "t.csv", "h,a,b\nr1,1,2\nr2,3,4\nr3,5,6\n");
  test::WriteFileBytes(folder / "p.xyz", "1 2 3\n");
  test::WriteFileBytes(folder / "s.xyz", "4 5 6\n7 8 9\n");
  ASSERT_EQ(Run("open t.csv colskip=1 rowskip=1 collabel=1 transpose=1\n"
                "save out.snp\n"
                "open-random p.xyz\n"
                "open-random s.xyz import=secondary\n"
                "open-random s.xyz import=append\n"
                "open out.snp\n"),
            0)
      << err.str();
  EXPECT_EQ(out.str(),
            "Min. = 1.000000 Max. = 6.000000\n"
            "Number of data = 1\nX : min. = 1.000000 max. = 1.000000\nY : min. = 2.000000 max. = 2.000000\n"
            "Z : min. = 3.000000 max. = 3.000000\n"
            "Number of data (2nd variable)= 2\nX : min. = 4.000000 max. = 7.000000\n"
            "Y : min. = 5.000000 max. = 8.000000\nZ : min. = 6.000000 max. = 9.000000\n"
            "Sorry. Under construction.\n"
            "1 1.000000 1.000000 3 2\n");
  EXPECT_EQ(doc.grid->NX, 3);
  EXPECT_EQ(doc.grid->NY, 2);
  EXPECT_EQ(doc.grid->yLabels, (std::vector<std::string>{"a", "b\n"}));  // labels of the same shape stay
  EXPECT_EQ(doc.primaryData->count, 0);                                  // the saved document had no points
  EXPECT_EQ(doc.secondaryData->count, 2);
  EXPECT_EQ(profile.ReadInt("General", "IMPORT_OPTION_TRANSPOSE", 0), 1);
  EXPECT_TRUE(std::filesystem::exists(folder / "ReadText.txt"));
}

// Labels of a CSV table name its columns and rows: a grid of another shape made by
// either gridding command must not show them.
TEST_F(FileBatch, GriddingToAnotherShapeDropsTheTableLabels) {
  test::WriteFileBytes(folder / "t.csv", "h,a,b\nr1,1,2\nr2,3,4\n");
  test::WriteFileBytes(folder / "p.xyz", "0 0 1\n10 0 2\n0 10 3\n10 10 4\n5 5 2\n");
  const std::string importTable = "open t.csv colskip=1 rowskip=1 collabel=1 rowlabel=1\n";
  ASSERT_EQ(Run(importTable + "open-random p.xyz\nmin-curvature dx=2 dy=2\n"), 0) << err.str();
  EXPECT_EQ(doc.grid->NX, 6);
  EXPECT_EQ(doc.grid->xLabelsOn, 0);
  EXPECT_EQ(doc.grid->yLabelsOn, 0);
  EXPECT_TRUE(doc.grid->xLabels.empty());
  EXPECT_TRUE(doc.grid->yLabels.empty());

  ASSERT_EQ(Run(importTable + "variogram\nprediction dx=5 dy=5\n"), 0) << err.str();
  EXPECT_EQ(doc.grid->NX, 3);
  EXPECT_EQ(doc.grid->xLabelsOn, 0);
  EXPECT_TRUE(doc.grid->xLabels.empty());
  EXPECT_TRUE(doc.grid->yLabels.empty());
}

TEST_F(FileBatch, UnreadableFilesStopTheScript) {
  test::WriteFileBytes(folder / "bad.txt", "9 1 2\n");
  EXPECT_EQ(Run("open-pwri bad.txt\nnew\n"), 2);
  EXPECT_EQ(out.str(), "Wrong data format !\n");
  EXPECT_NE(err.str().find(":1:"), std::string::npos) << err.str();
  EXPECT_EQ(Run("open missing.snp\n"), 2);
  EXPECT_EQ(Run("open-random missing.xyz\n"), 2);
  test::WriteFileBytes(folder / "t.csv", "1,2\n");
  EXPECT_EQ(Run("open t.csv colskip=2\n"), 2);
  EXPECT_EQ(Run("open t.csv cancel=yes\n"), 0);
  EXPECT_EQ(doc.grid->NX, 0);
}

}  // namespace
}  // namespace gridora

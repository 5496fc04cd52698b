#include <gtest/gtest.h>

#include "commands/document_file.h"
#include "dialogs/dialogs.h"
#include "formats/csv_grid.h"
#include "formats/csv_line.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitCsvLine, KeepsFieldsAsTheyAre) {
  struct Case {
    const char* line;
    Fields fields;
  } cases[] = {
      {"a,,3\n", {"a", "", "3\n"}},
      {"", {""}},
      {",", {"", ""}},
      {" 1 , \"q,r\" ", {" 1 ", " \"q", "r\" "}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCsvLine(c.line), c.fields) << c.line;
}

// A 5-field, 4-line table: a header line, then three data lines named r1..r3.
constexpr const char* kTable =
    "name,c1,c2,c3,c4\n"
    "r1,1,2,3,4\n"
    "r2,5,6,7,8\n"
    "r3,9,10,11,12\n";

struct CsvImport : ::testing::Test {
  test::TempFolder folder;
  MemoryProfile profile;
  std::unique_ptr<GridModel> grid = CreateGridModel(profile);
  test::FakeUserInterface ui;

  std::string Write(const std::string& bytes) {
    const auto path = folder / "table.csv";
    test::WriteFileBytes(path, bytes);
    return path.string();
  }
  // Answers the option dialog with the given settings (checking what it proposed).
  void Answer(int colSkip, int rowSkip, int columnLabels, int rowLabels, int transpose) {
    ui.dialogHandlers.push_back([=](DialogData& data) {
      auto& dialog = dynamic_cast<CsvImportDialog&>(data);
      dialog.colSkip = colSkip;
      dialog.rowSkip = rowSkip;
      dialog.columnLabels = columnLabels;
      dialog.rowLabels = rowLabels;
      dialog.transpose = transpose;
      return true;
    });
  }
};

TEST_F(CsvImport, SkipsLabelsAndTranspose) {
  const std::string path = Write(kTable);
  Answer(1, 1, 1, 1, 0);
  ASSERT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Read);
  EXPECT_EQ(grid->layerCount, 1);
  EXPECT_EQ(grid->NX, 4);
  EXPECT_EQ(grid->NY, 3);
  EXPECT_EQ(grid->xLabels, (Fields{"c1", "c2", "c3", "c4\n"}));
  EXPECT_EQ(grid->yLabels, (Fields{"r1", "r2", "r3"}));
  EXPECT_EQ(grid->xLabelsOn, 1);
  EXPECT_EQ(grid->yLabelsOn, 1);
  EXPECT_EQ(grid->Value(0, 0, 0), 1.0f);
  EXPECT_EQ(grid->Value(0, 3, 0), 4.0f);
  EXPECT_EQ(grid->Value(0, 1, 2), 10.0f);
  EXPECT_EQ(ui.messages.back(), "Min. = 1.000000 Max. = 12.000000");

  Answer(1, 1, 1, 1, 1);
  ASSERT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Read);
  EXPECT_EQ(grid->NX, 3);
  EXPECT_EQ(grid->NY, 4);
  EXPECT_EQ(grid->xLabels, (Fields{"r1", "r2", "r3"}));
  EXPECT_EQ(grid->yLabels, (Fields{"c1", "c2", "c3", "c4\n"}));
  EXPECT_EQ(grid->Value(0, 0, 3), 4.0f);
  EXPECT_EQ(grid->Value(0, 2, 1), 10.0f);
}

TEST_F(CsvImport, DialogShowsTheTableAndTheProfileSettingsAndStoresThemOnOk) {
  profile.WriteInt("General", "N_COLUMN_SKIP", 1);
  profile.WriteInt("General", "B1ST_ROW_LABEL", 1);
  const std::string path = Write(kTable);
  ui.dialogHandlers.push_back([](DialogData& data) {
    auto& dialog = dynamic_cast<CsvImportDialog&>(data);
    EXPECT_EQ(dialog.ncols, 5);
    EXPECT_EQ(dialog.nrows, 4);
    EXPECT_EQ(dialog.colSkip, 1);
    EXPECT_EQ(dialog.rowLabels, 1);
    EXPECT_EQ(dialog.rowSkip, 0);
    dialog.rowSkip = 1;
    dialog.transpose = 1;
    return true;
  });
  ASSERT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Read);
  EXPECT_EQ(ui.dialogTitles, (Fields{"Import option"}));
  EXPECT_EQ(profile.ReadInt("General", "N_ROW_SKIP", -1), 1);
  EXPECT_EQ(profile.ReadInt("General", "IMPORT_OPTION_TRANSPOSE", -1), 1);
  EXPECT_EQ(profile.ReadInt("General", "B1ST_COLUMN_LABEL", -1), 0);
}

TEST_F(CsvImport, CancelAndRefusedSettingsLeaveTheGrid) {
  ASSERT_TRUE(grid->Reshape(1, 2, 2));
  grid->Value(0, 1, 1) = 42.0f;
  grid->DX = 2.5f;
  const std::string path = Write(kTable);

  ui.dialogHandlers.push_back([](DialogData&) { return false; });
  EXPECT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Canceled);
  EXPECT_FALSE(profile.Has("General", "N_COLUMN_SKIP"));

  struct Case {
    int colSkip, rowSkip;
    const char* says;
  } refused[] = {{5, 0, "leaves no column"}, {0, 4, "leaves no row"}, {-1, 0, "negative"}};
  for (const auto& c : refused) {
    // The dialog refuses them while open; the user then gives up.
    Answer(c.colSkip, c.rowSkip, 0, 0, 0);
    EXPECT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Canceled);
    EXPECT_FALSE(profile.Has("General", "N_COLUMN_SKIP"));
    EXPECT_NE(ui.messages.back().find(c.says), std::string::npos) << ui.messages.back();
  }
  EXPECT_EQ(ReadCsvGrid(*grid, (folder / "missing.csv").string(), ui, profile), ReadStatus::Failed);
  EXPECT_NE(ui.messages.back().find("missing.csv"), std::string::npos);
  EXPECT_EQ(ReadCsvGrid(*grid, Write(""), ui, profile), ReadStatus::Failed);

  EXPECT_EQ(grid->NX, 2);
  EXPECT_EQ(grid->Value(0, 1, 1), 42.0f);
  EXPECT_EQ(grid->DX, 2.5f);
}

TEST_F(CsvImport, ShortLinesLeaveZerosAndTextBecomesZero) {
  // colSkip 2: the data line "7,8" has no field after the skipped ones.
  const std::string path = Write("a,b,1,2,3\nx,y,4\n7,8\nq,r,abc, 5.5e1x,-\n");
  Answer(2, 0, 0, 0, 0);
  ASSERT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Read);
  ASSERT_EQ(grid->NX, 3);
  ASSERT_EQ(grid->NY, 4);
  const float expected[3][4] = {{1, 4, 0, 0}, {2, 0, 0, 55}, {3, 0, 0, 0}};
  for (int ix = 0; ix < 3; ++ix)
    for (int iy = 0; iy < 4; ++iy) EXPECT_EQ(grid->Value(0, ix, iy), expected[ix][iy]) << ix << "," << iy;
}

TEST_F(CsvImport, KeepsGeometryAndReplacesOldLabels) {
  grid->DX = 3.0f;
  grid->x0 = 7.0f;
  const std::string path = Write(kTable);
  Answer(1, 1, 1, 1, 0);
  ASSERT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Read);
  Answer(1, 1, 0, 0, 0);
  ASSERT_EQ(ReadCsvGrid(*grid, path, ui, profile), ReadStatus::Read);
  EXPECT_EQ(grid->xLabelsOn, 0);
  EXPECT_TRUE(grid->xLabels.empty());
  EXPECT_TRUE(grid->yLabels.empty());
  EXPECT_EQ(grid->DX, 3.0f);
  EXPECT_EQ(grid->x0, 7.0f);
  EXPECT_EQ(grid->dataDistance.size(), 12u);
}

TEST_F(CsvImport, SampleTable) {
  Answer(0, 0, 0, 0, 0);
  ASSERT_EQ(ReadCsvGrid(*grid, GRIDORA_SOURCE_DIR "/examples/volcano.csv", ui, profile), ReadStatus::Read);
  EXPECT_EQ(grid->NX, 61);
  EXPECT_EQ(grid->NY, 87);
  EXPECT_EQ(grid->Value(0, 0, 0), 100.0f);
  EXPECT_EQ(grid->Value(0, 60, 86), 94.0f);
  EXPECT_EQ(ui.messages.back(), "Min. = 94.000000 Max. = 195.000000");
}

}  // namespace
}  // namespace gridora

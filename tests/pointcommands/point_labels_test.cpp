// Labels travel with the points: read from a table's label column, kept through merging,
// block reduction, deletion and undo, saved in their own part of the document file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/random_data.h"
#include "pointcommands/point_indices.h"
#include "support/batch_run.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora {
namespace {

using test::BatchRun;

// Wells with a text id first, a quoted name holding the delimiter, and two wells at one
// position (W3 and W3b) so merging has something to merge. Single precision does not
// hold the coordinates: the document file has its exact part.
const char* kWells =
    "well,east,north,head\n"
    "W1,0.1,0.2,10\n"
    "\" W2, north \",10.1,0.2,20\n"
    "W3,0.1,10.2,30\n"
    "W3b,0.1,10.2,50\n"
    "W4,10.1,10.2,40\n";

std::vector<std::string> Labels(const RandomData& data) { return data.labels; }

TEST(PointLabels, ImportTakesTheLabelColumnByNameNumberOrNotAtAll) {
  struct Case {
    const char* keys;
    int status;
    std::vector<std::string> labels;
    const char* message;  // in the output when the import is refused
  };
  const std::vector<std::string> all = {"W1", "W2, north", "W3", "W3b", "W4"};
  const Case cases[] = {
      {"x=east y=north z=head label=well", 0, all, ""},
      {"x=east y=north z=head label=1", 0, all, ""},
      {"x=east y=north z=head label=WELL", 0, all, ""},  // names match ignoring case
      {"x=east y=north z=head", 0, {}, ""},              // a script names its label column
      {"x=east y=north z=head label=depth", 2, {}, "no column \"depth\" for the label"},
      {"x=east y=north z=head label=9", 2, {}, "no column \"9\" for the label"},
  };
  for (const Case& c : cases) {
    BatchRun run;
    test::WriteFileBytes(run.folder / "wells.csv", kWells);
    EXPECT_EQ(run.Run(std::string("import-table wells.csv ") + c.keys + "\n"), c.status) << c.keys;
    if (c.status == 0) {
      EXPECT_EQ(run.doc.primaryData->count, 5) << c.keys;
      EXPECT_EQ(Labels(*run.doc.primaryData), c.labels) << c.keys;
    } else {
      EXPECT_NE(run.out.str().find(c.message), std::string::npos) << c.keys << ": " << run.out.str();
      EXPECT_EQ(run.doc.primaryData->count, 0) << c.keys;
    }
  }
}

TEST(PointLabels, RowsThatLackTheLabelFieldKeepTheirPointWithAnEmptyLabel) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "t.csv", "x,y,z,name\n1,2,3,A\n4,5,6\n7,8,9,C\n");
  ASSERT_EQ(run.Run("import-table t.csv x=x y=y z=z label=name\n"), 0) << run.out.str();
  EXPECT_EQ(Labels(*run.doc.primaryData), (std::vector<std::string>{"A", "", "C"}));
}

TEST(PointLabels, AppendingLabelledToUnlabelledPointsGivesEveryPointALabel) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "wells.csv", kWells);
  ASSERT_EQ(run.Run("import-table wells.csv x=east y=north z=head\n"
                    "import-table wells.csv x=east y=north z=head label=well import=append\n"),
            0)
      << run.out.str();
  const RandomData& data = *run.doc.primaryData;
  ASSERT_EQ(data.count, 10);
  ASSERT_EQ(data.labels.size(), 10u);
  EXPECT_EQ(data.labels[4], "");
  EXPECT_EQ(data.labels[5], "W1");
}

// Saved and opened again, with coordinates that single precision holds exactly (no
// exact part: the labels' part follows the older parts directly) and without.
TEST(PointLabels, SurviveSaveAndOpenWithAndWithoutTheExactPart) {
  const char* tables[] = {kWells, "well,east,north,head\nA,0,0,1\nB,10,0,2\nC,0,10,3\n"};
  for (const char* table : tables) {
    BatchRun run;
    test::WriteFileBytes(run.folder / "wells.csv", table);
    ASSERT_EQ(run.Run("import-table wells.csv x=east y=north z=head label=well\nsave labelled.snp\n"
                      "import-table wells.csv x=east y=north z=head\nsave plain.snp\n"),
              0)
        << run.out.str();
    const std::string labelled = test::ReadFileBytes(run.folder / "labelled.snp");
    const std::string plain = test::ReadFileBytes(run.folder / "plain.snp");
    // The labels are one part appended to the file as it was: an older reader stops
    // before it and reads everything else as from the file without labels.
    EXPECT_EQ(plain.find("KLBL"), std::string::npos);
    const std::size_t part = labelled.rfind("KLBL");
    ASSERT_NE(part, std::string::npos);
    EXPECT_EQ(labelled.substr(0, part), plain);

    const std::vector<std::string> expected = run.doc.primaryData->count == 5
                                                  ? std::vector<std::string>{"W1", "W2, north", "W3", "W3b", "W4"}
                                                  : std::vector<std::string>{"A", "B", "C"};
    BatchRun reopen;
    std::filesystem::copy_file(run.folder / "labelled.snp", reopen.folder / "labelled.snp");
    ASSERT_EQ(reopen.Run("open labelled.snp\n"), 0) << reopen.out.str();
    EXPECT_EQ(Labels(*reopen.doc.primaryData), expected);
    EXPECT_EQ(reopen.out.str().find("damaged"), std::string::npos) << reopen.out.str();
    // A file without the part reads as before: points without labels.
    std::filesystem::copy_file(run.folder / "plain.snp", reopen.folder / "plain.snp");
    ASSERT_EQ(reopen.Run("open plain.snp\n"), 0) << reopen.out.str();
    EXPECT_TRUE(Labels(*reopen.doc.primaryData).empty());
  }
}

TEST(PointLabels, ADamagedPartIsReportedAndLeftOutAndThePointsStillRead) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "wells.csv", kWells);
  ASSERT_EQ(run.Run("import-table wells.csv x=east y=north z=head label=well\nsave labelled.snp\n"), 0);
  const std::string whole = test::ReadFileBytes(run.folder / "labelled.snp");
  const std::size_t part = whole.rfind("KLBL");
  ASSERT_NE(part, std::string::npos);
  struct Damage {
    const char* what;
    std::string bytes;
  };
  std::string tooLong = whole;
  tooLong[part + 4] = static_cast<char>(0x7F);  // a byte count beyond the file
  std::string labelTooLong = whole;
  labelTooLong[part + 8] = static_cast<char>(0x70);  // the first label runs past the part
  const Damage damages[] = {
      {"cut inside the first label", whole.substr(0, part + 13)},
      {"cut after the byte count", whole.substr(0, part + 8)},
      {"cut inside the byte count", whole.substr(0, part + 6)},
      {"byte count beyond the file", tooLong},
      {"a label longer than its part", labelTooLong},
  };
  for (const Damage& d : damages) {
    BatchRun reopen;
    test::WriteFileBytes(reopen.folder / "damaged.snp", d.bytes);
    ASSERT_EQ(reopen.Run("open damaged.snp\n"), 0) << d.what << ": " << reopen.out.str();
    EXPECT_NE(reopen.out.str().find("its part with the points' labels is damaged"), std::string::npos)
        << d.what << ": " << reopen.out.str();
    EXPECT_EQ(reopen.doc.primaryData->count, 5) << d.what;
    EXPECT_EQ(reopen.doc.primaryData->points[1].x, 10.1) << d.what << ": the exact part before it is kept";
    EXPECT_TRUE(reopen.doc.primaryData->labels.empty()) << d.what;
  }
}

TEST(PointLabels, AMergedOrReducedPointKeepsTheLabelOfItsFirstPoint) {
  struct Case {
    const char* command;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {"merge-duplicates tolerance=0 method=mean", {"W1", "W2, north", "W3", "W4"}},
      {"merge-duplicates tolerance=0 method=median", {"W1", "W2, north", "W3", "W4"}},
      {"merge-duplicates tolerance=0 method=first", {"W1", "W2, north", "W3", "W4"}},
      // Cells of 20 hold every point: one point, named by the table's first row.
      {"block-reduce cell=20", {"W1"}},
      // Cells of 4 come out cell column by cell column: W1, W3 (with W3b), W2, W4.
      {"block-reduce cell=4", {"W1", "W3", "W2, north", "W4"}},
  };
  for (const Case& c : cases) {
    BatchRun run;
    test::WriteFileBytes(run.folder / "wells.csv", kWells);
    ASSERT_EQ(run.Run(std::string("import-table wells.csv x=east y=north z=head label=well\n") + c.command + "\n"), 0)
        << c.command << run.out.str();
    EXPECT_EQ(Labels(*run.doc.primaryData), c.labels) << c.command;
  }
}

TEST(PointLabels, DeletePointsKeepsTheOthersWithTheirLabelsAndUndoBringsThemBack) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "wells.csv", kWells);
  ASSERT_EQ(run.Run("import-table wells.csv x=east y=north z=head label=well\ndelete-points indices=2,4-5\n"), 0)
      << run.out.str();
  EXPECT_NE(run.out.str().find("3 point(s) deleted, 2 left"), std::string::npos) << run.out.str();
  const RandomData& after = *run.doc.primaryData;
  EXPECT_EQ(Labels(after), (std::vector<std::string>{"W1", "W3"}));
  ASSERT_EQ(after.count, 2);
  EXPECT_EQ(after.points[1].z, 30.0);
  EXPECT_EQ(after.zMaximum, 30.0) << "ranges follow the points left";
  EXPECT_TRUE(run.doc.modified);

  ASSERT_EQ(run.Run("undo\n"), 0) << run.out.str();
  EXPECT_EQ(run.doc.primaryData->count, 5);
  EXPECT_EQ(Labels(*run.doc.primaryData), (std::vector<std::string>{"W1", "W2, north", "W3", "W3b", "W4"}));
  EXPECT_EQ(run.doc.primaryData->points[3].z, 50.0);
  ASSERT_EQ(run.Run("redo\n"), 0) << run.out.str();
  EXPECT_EQ(Labels(*run.doc.primaryData), (std::vector<std::string>{"W1", "W3"}));
}

TEST(PointLabels, DeletePointsRefusesNumbersOutsideTheSetAndKeepsThePoints) {
  const char* refused[] = {"indices=0", "indices=6",    "indices=2,x", "indices=3-1",
                           "indices=",  "indices=1,,2", "indices=-1"};
  for (const char* keys : refused) {
    BatchRun run;
    test::WriteFileBytes(run.folder / "wells.csv", kWells);
    EXPECT_EQ(
        run.Run(std::string("import-table wells.csv x=east y=north z=head label=well\ndelete-points ") + keys + "\n"),
        2)
        << keys;
    EXPECT_EQ(run.doc.primaryData->count, 5) << keys;
    EXPECT_EQ(run.doc.primaryData->labels.size(), 5u) << keys;
  }
}

TEST(PointIndices, ListsAndRangesCountedFromOne) {
  struct Case {
    const char* text;
    int count;
    bool ok;
    std::vector<int> indices;
  };
  const Case cases[] = {
      {"1", 3, true, {0}},
      {" 3 , 1 ", 3, true, {0, 2}},
      {"2-4,1,3", 5, true, {0, 1, 2, 3}},  // overlaps once, ascending
      {"5-5", 5, true, {4}},
      {"0", 3, false, {}},
      {"4", 3, false, {}},
      {"2-", 3, false, {}},
      {"1.5", 3, false, {}},
      {"", 3, false, {}},
      {"1,", 3, false, {}},
  };
  for (const Case& c : cases) {
    std::vector<int> indices;
    std::string problem;
    EXPECT_EQ(ParsePointIndices(c.text, c.count, indices, problem), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(indices, c.indices) << c.text;
    } else {
      EXPECT_FALSE(problem.empty()) << c.text;
    }
  }
}

}  // namespace
}  // namespace gridora

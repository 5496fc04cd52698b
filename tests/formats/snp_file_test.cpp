#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>

#include "commands/document_file.h"
#include "formats/snp_file.h"
#include "support/test_support.h"

namespace gridora {
namespace {

// Builds document files word by word.
struct Bytes {
  std::string data;
  Bytes& Int(std::int32_t value) { return Raw(&value); }
  Bytes& Float(float value) { return Raw(&value); }
  Bytes& Floats(std::initializer_list<float> values) {
    for (float v : values) Float(v);
    return *this;
  }
  Bytes& Header(int layers, int nx, int ny, float dx = 1.0f, float dy = 1.0f) {
    return Int(layers).Int(0).Int(ny).Int(nx).Float(dx).Float(dy).Int(0).Int(0).Int(0);
  }
  Bytes& Raw(const void* word) {
    data.append(static_cast<const char*>(word), 4);
    return *this;
  }
};

struct SnpFile : ::testing::Test {
  MemoryProfile profile;
  std::unique_ptr<GridModel> grid = CreateGridModel(profile);
  std::unique_ptr<RandomData> points = CreateRandomData();
  test::FakeUserInterface ui;

  std::string Write(const GridModel& g, const RandomData& p) {
    std::ostringstream out;
    EXPECT_TRUE(WriteSnp(g, out, p));
    return out.str();
  }
  int Read(const std::string& bytes, GridModel& g, RandomData& p) {
    std::istringstream in(bytes);
    return ReadSnpAndReport(g, in, p, ui, "test.snp");
  }
  int Read(const std::string& bytes) { return Read(bytes, *grid, *points); }

  // A grid with everything the file carries set to something other than its default.
  void FillEverything(GridModel& g, RandomData& p) {
    ASSERT_TRUE(g.Reshape(2, 3, 4));
    for (std::size_t i = 0; i < g.values.size(); ++i) g.values[i] = 0.5f * static_cast<float>(i) - 3.0f;
    for (std::size_t i = 0; i < g.dataDistance.size(); ++i) g.dataDistance[i] = static_cast<float>(i) + 0.25f;
    g.reserved0 = 11;
    g.reserved1 = 12;
    g.reserved2 = 13;
    g.reserved3 = 14;
    g.reserved4 = 15;
    g.DX = 2.5f;
    g.DY = 0.75f;
    g.x0 = -10.0f;
    g.y0 = 20.0f;
    g.xLastDrawn = 35.0f;
    g.xStart = 0.0f, g.xEnd = 100.0f, g.xInterval = 10.0f, g.xTickCount = 11;
    g.yStart = 5.0f, g.yEnd = 50.0f, g.yInterval = 5.0f, g.yTickCount = 10;
    g.contourLevels.count = 5;
    for (int i = 0; i < 5; ++i) {
      g.contourLevels.levels[i] = 10.0f * static_cast<float>(i);
      g.contourLevels.boundaryRed[i] = 200 + i;
      g.contourLevels.boundaryGreen[i] = 100 + i;
      g.contourLevels.boundaryBlue[i] = i;
    }
    g.scaleX = 1.5f;
    g.scaleY = 0.5f;
    g.reverseColors = 1;
    g.showRandomData = 0;
    g.hideFarNodes = 1;
    g.maxDistance = 123.5f;
    g.xTitle = "Distance (\xE8\xB7\x9D\xE9\x9B\xA2)";
    g.yTitle = "Depth \xC3\xA9";
    p.count = 3;
    p.points[0] = {1.1, 2.2, 3.3};
    p.points[1] = {-4.0, 5.0, 1e6};
    p.points[2] = {0.1, 0.2, 0.3};
  }
};

TEST_F(SnpFile, RoundTripKeepsEverythingTheFileCarries) {
  MemoryProfile otherProfile;
  auto source = CreateGridModel(otherProfile);
  auto sourcePoints = CreateRandomData();
  FillEverything(*source, *sourcePoints);
  const std::string bytes = Write(*source, *sourcePoints);

  points->xMinimum = 77.0f;
  ASSERT_EQ(Read(bytes), 2);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"2 2.500000 0.750000 3 4"}));
  EXPECT_EQ(grid->layerCount, 2);
  EXPECT_EQ(grid->NX, 3);
  EXPECT_EQ(grid->NY, 4);
  EXPECT_EQ(grid->values, source->values);
  EXPECT_EQ(grid->dataDistance, source->dataDistance);
  EXPECT_EQ(grid->layerMinimum[0], -3.0f);
  EXPECT_EQ(grid->layerMaximum[1], 8.5f);
  EXPECT_EQ(grid->reserved0, 11);
  EXPECT_EQ(grid->reserved3, 14);
  EXPECT_EQ(grid->reserved4, 15);
  EXPECT_EQ(grid->DX, 2.5f);
  EXPECT_EQ(grid->x0, -10.0f);
  EXPECT_EQ(grid->y0, 20.0f);
  EXPECT_EQ(grid->xLastDrawn, 35.0f);
  EXPECT_EQ(grid->xEnd, 100.0f);
  EXPECT_EQ(grid->yInterval, 5.0f);
  EXPECT_EQ(grid->xTickCount, 11);
  EXPECT_EQ(grid->yTickCount, 10);
  EXPECT_EQ(grid->axisFixed, 1);
  EXPECT_EQ(grid->contourLevels.count, 5);
  EXPECT_EQ(grid->contourLevels.levels[4], 40.0f);
  EXPECT_EQ(grid->contourLevels.boundaryRed[2], 202u);
  EXPECT_EQ(grid->contourLevels.boundaryBlue[4], 4u);
  EXPECT_EQ(grid->userLevels, 1);
  EXPECT_EQ(grid->scaleX, 1.5f);
  EXPECT_EQ(grid->scaleY, 0.5f);
  EXPECT_EQ(grid->reverseColors, 1);
  EXPECT_EQ(grid->showRandomData, 0);
  EXPECT_EQ(grid->hideFarNodes, 1);
  EXPECT_EQ(grid->maxDistance, 123.5f);
  EXPECT_EQ(grid->xTitle, source->xTitle);
  EXPECT_EQ(grid->yTitle, source->yTitle);
  ASSERT_EQ(points->count, 3);
  EXPECT_EQ(points->points[0].x, 1.1);
  EXPECT_EQ(points->points[1].z, 1e6);
  EXPECT_EQ(points->points[2].y, 0.2);
  EXPECT_EQ(points->xMinimum, 77.0f);  // ranges are not in the file
  // And written again, byte for byte the same.
  EXPECT_EQ(Write(*grid, *points), bytes);
}

// Nodes without an estimate (local kriging, no-data cells of an import) stay empty
// through a save, with or without the options' text part before them; a grid without
// them is written as it always was.
TEST_F(SnpFile, EmptyNodesSurviveASave) {
  for (const std::string trailer : {"", "model=spherical"}) {
    SCOPED_TRACE(trailer);
    MemoryProfile otherProfile;
    auto source = CreateGridModel(otherProfile);
    auto sourcePoints = CreateRandomData();
    FillEverything(*source, *sourcePoints);
    std::ostringstream plainFile;
    ASSERT_TRUE(WriteSnp(*source, plainFile, *sourcePoints, trailer));
    source->emptyNodes.assign(source->NodeCount(), 0);
    source->emptyNodes[1] = source->emptyNodes[7] = 1;
    std::ostringstream withEmptyFile;
    ASSERT_TRUE(WriteSnp(*source, withEmptyFile, *sourcePoints, trailer));
    // Compared without the exact values' part, which follows every other part.
    const std::string plain = test::WithoutExactPart(plainFile.str());
    const std::string withEmpty = test::WithoutExactPart(withEmptyFile.str());
    EXPECT_EQ(withEmpty.substr(0, plain.size()), plain);
    EXPECT_EQ(withEmpty.size(), plain.size() + 4 + source->NodeCount());

    ASSERT_EQ(Read(withEmpty), 2);
    EXPECT_EQ(grid->emptyNodes, source->emptyNodes);
    ASSERT_EQ(Read(plain), 2);
    EXPECT_TRUE(grid->emptyNodes.empty());
    // A part cut short is left out, the rest of the file read.
    const std::string cut = withEmpty.substr(0, withEmpty.size() - 3);
    ASSERT_EQ(Read(cut), 2);
    EXPECT_TRUE(grid->emptyNodes.empty());
  }
}

TEST_F(SnpFile, SmallestGridHasTheDocumentedSize) {
  ASSERT_TRUE(grid->Reshape(1, 2, 3));
  const std::string bytes = Write(*grid, *points);
  EXPECT_EQ(bytes.size(), 1016u);
  // Titles are UTF-16LE after the 37 levels: "X" then zeros.
  const std::size_t title = 36 + 24 + 4 + 16 + 32 + 4 + 16 * 37 + 16;
  EXPECT_EQ(bytes.substr(title, 4), std::string("X\0\0\0", 4));
}

TEST_F(SnpFile, TitlesAreCutTo63Characters) {
  ASSERT_TRUE(grid->Reshape(1, 1, 1));
  grid->xTitle = std::string(100, 'a');
  grid->yTitle = std::string(62, 'b') + "\xF0\x9F\x98\x80";  // the pair would need units 63 and 64
  const std::string bytes = Write(*grid, *points);
  EXPECT_EQ(bytes.size(), 36u + 4 + 4 + 16 + 32 + 4 + 16 * 37 + 16 + 256 + 12 + 4);
  auto back = CreateGridModel(profile);
  ASSERT_EQ(Read(bytes, *back, *points), 1);
  EXPECT_EQ(back->xTitle, std::string(63, 'a'));
  EXPECT_EQ(back->yTitle, std::string(62, 'b'));
}

TEST_F(SnpFile, NegativeLayerCountMeansReversedRows) {
  ASSERT_EQ(Read(Bytes().Header(-1, 1, 3).Floats({1, 2, 3}).Int(0).data), 1);
  EXPECT_EQ(ui.messages.front(), "-1 1.000000 1.000000 1 3");
  EXPECT_EQ(grid->Value(0, 0, 0), 3.0f);
  EXPECT_EQ(grid->Value(0, 0, 1), 2.0f);
  EXPECT_EQ(grid->Value(0, 0, 2), 1.0f);
  EXPECT_EQ(grid->layerCount, 1);
}

TEST_F(SnpFile, FileEndingAfterThePointCountKeepsTheEarlierSettings) {
  ASSERT_TRUE(grid->Reshape(1, 2, 1));
  grid->xStart = 1.0f;
  grid->xEnd = 9.0f;
  grid->axisFixed = 1;
  grid->scaleX = 3.0f;
  grid->xTitle = "Kept";
  grid->contourLevels.count = 4;
  grid->userLevels = 1;
  grid->xLabelsOn = 1;
  grid->xLabels = {"a", "b"};
  ASSERT_EQ(Read(Bytes().Header(1, 2, 1).Floats({5, 6}).Int(1).Floats({7, 8, 9}).data), 1);
  EXPECT_EQ(grid->Value(0, 1, 0), 6.0f);
  EXPECT_EQ(points->count, 1);
  EXPECT_EQ(points->points[0].z, 9.0);
  EXPECT_EQ(grid->xEnd, 9.0f);
  EXPECT_EQ(grid->axisFixed, 1);
  EXPECT_EQ(grid->scaleX, 3.0f);
  EXPECT_EQ(grid->xTitle, "Kept");
  EXPECT_EQ(grid->contourLevels.count, 4);
  EXPECT_EQ(grid->userLevels, 1);
  EXPECT_EQ(grid->xLabels.size(), 2u);  // same shape: the labels still fit
  for (float d : grid->dataDistance) EXPECT_EQ(d, 1.0e7f);

  // Another shape: labels of the earlier table go.
  ASSERT_EQ(Read(Bytes().Header(1, 3, 1).Floats({5, 6, 7}).Int(0).data), 1);
  EXPECT_EQ(grid->xLabelsOn, 0);
  EXPECT_TRUE(grid->xLabels.empty());
}

TEST_F(SnpFile, OptionalPartsStopAtTheEndOfTheFile) {
  // Origin and the window's X half: the window rule still applies.
  ASSERT_EQ(Read(Bytes().Header(1, 1, 1).Float(1).Int(0).Floats({4, 0, 6, 0}).Floats({2, 2}).data), 1);
  EXPECT_EQ(grid->x0, 4.0f);
  EXPECT_EQ(grid->y0, 6.0f);
  EXPECT_EQ(grid->xStart, 2.0f);
  EXPECT_EQ(grid->xEnd, 2.0f);
  EXPECT_EQ(grid->axisFixed, 0);
  EXPECT_EQ(grid->xTickCount, 0);

  // Equal levels do not make user levels; a title cut short is not read.
  Bytes file;
  file.Header(1, 1, 1).Float(1).Int(0).Floats({0, 0, 0, 0}).Floats({0, 10, 1}).Int(11).Floats({0, 10, 1}).Int(11);
  file.Int(2).Floats({5, 0, 0, 0, 5, 0, 0, 0}).Floats({2, 2}).Int(1).Int(0);
  file.data += std::string(100, 'A');
  grid->xTitle = "Before";
  ASSERT_EQ(Read(file.data), 1);
  EXPECT_EQ(grid->contourLevels.count, 2);
  EXPECT_EQ(grid->userLevels, 0);
  EXPECT_EQ(grid->axisFixed, 1);
  EXPECT_EQ(grid->scaleY, 2.0f);
  EXPECT_EQ(grid->showRandomData, 0);
  EXPECT_EQ(grid->xTitle, "Before");
}

TEST_F(SnpFile, BadFilesAreRefusedAndChangeNothing) {
  MemoryProfile otherProfile;
  auto source = CreateGridModel(otherProfile);
  auto sourcePoints = CreateRandomData();
  FillEverything(*source, *sourcePoints);
  const std::string good = Write(*source, *sourcePoints);
  const std::size_t pointCountAt = 36 + 4 * 24;
  const std::size_t levelCountAt = pointCountAt + 4 + 36 + 16 + 32;
  auto patched = [&](std::size_t at, std::int32_t value) {
    std::string bytes = good;
    std::memcpy(bytes.data() + at, &value, 4);
    return bytes;
  };

  struct Case {
    const char* name;
    std::string bytes;
    const char* says;
  } cases[] = {
      {"empty", "", "ends inside its header"},
      {"short header", good.substr(0, 20), "ends inside its header"},
      {"inside values", good.substr(0, 36 + 50), "ends inside the grid values"},
      {"no point count", good.substr(0, pointCountAt), "ends before its number of points"},
      {"inside points", good.substr(0, pointCountAt + 4 + 20), "ends inside the points"},
      {"negative NX", patched(12, -3), "NX = -3"},
      {"negative NY", patched(8, -1), "NY = -1"},
      {"lowest layer count", patched(0, INT32_MIN), "layer count"},
      {"layers without nodes", Bytes().Header(-1000000000, 2, 0).Int(0).data, "layer count, -1000000000"},
      {"huge grid", patched(8, 100000).substr(0, 36) + Bytes().Int(0).data, "ends inside the grid values"},
      {"too large", Bytes().Header(4, 1 << 16, 1 << 16).data, "too large"},
      {"empty grid naming many nodes", Bytes().Header(0, 50000, 40000).Int(0).data, "too short"},
      {"negative points", patched(pointCountAt, -1), "number of points, -1"},
      {"too many points", patched(pointCountAt, 1000001), "number of points, 1000001"},
      {"negative levels", patched(levelCountAt, -2), "contour levels, -2"},
      {"too many levels", patched(levelCountAt, 38), "contour levels, 38"},
  };

  ASSERT_TRUE(grid->Reshape(1, 2, 2));
  grid->Value(0, 1, 1) = 42.0f;
  grid->xTitle = "Mine";
  grid->scaleX = 4.0f;
  points->count = 1;
  points->points[0] = {1, 2, 3};
  for (const auto& c : cases) {
    ui.messages.clear();
    EXPECT_EQ(Read(c.bytes), -1) << c.name;
    ASSERT_FALSE(ui.messages.empty()) << c.name;
    EXPECT_NE(ui.messages.back().find("test.snp"), std::string::npos) << ui.messages.back();
    EXPECT_NE(ui.messages.back().find(c.says), std::string::npos) << c.name << ": " << ui.messages.back();
    EXPECT_EQ(grid->NX, 2) << c.name;
    EXPECT_EQ(grid->Value(0, 1, 1), 42.0f) << c.name;
    EXPECT_EQ(grid->xTitle, "Mine") << c.name;
    EXPECT_EQ(grid->scaleX, 4.0f) << c.name;
    EXPECT_EQ(points->count, 1) << c.name;
    EXPECT_EQ(points->points[0].z, 3.0) << c.name;
  }
  // The same file intact reads.
  EXPECT_EQ(Read(good), 2);
}

TEST_F(SnpFile, LayerCountZeroReadsToTheEnd) {
  auto source = CreateGridModel(profile);
  source->NX = 2;
  source->NY = 2;
  ASSERT_TRUE(source->AllocateGrid());
  source->dataDistance = {1, 2, 3, 4};
  source->xTitle = "Zero";
  EXPECT_EQ(Read(Write(*source, *points)), 0);
  EXPECT_EQ(grid->NX, 2);
  EXPECT_EQ(grid->layerCount, 0);
  EXPECT_EQ(grid->dataDistance[3], 4.0f);
  EXPECT_EQ(grid->xTitle, "Zero");
}

TEST(SnpFileName, ExtensionDecidesTheReader) {
  struct Case {
    const char* path;
    bool snp;
  } cases[] = {
      {"a.snp", true},         {"a.SNP", true},        {"a.snp2", true},  {"mysnpfile", true},
      {"/x/a.b.snp", true},    {"a.Snp", false},       {"a.csv", false},  {"snp.csv", false},
      {"/d.snp/a.csv", false}, {"/d.snp/data", false}, {"a.xsnpx", true}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSnpFileName(c.path), c.snp) << c.path;
}

}  // namespace
}  // namespace gridora

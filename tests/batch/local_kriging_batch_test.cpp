// Kriging from local neighbourhoods through the variogram and prediction commands.
#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "document/hidden_nodes.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

// 60 points of a smooth surface with a little noise, as "x y z" lines.
std::string PointsFile() {
  std::mt19937 generator(5);
  std::uniform_real_distribution<double> position(0.0, 100.0), noise(-0.3, 0.3);
  std::string text;
  for (int i = 0; i < 60; ++i) {
    const double x = position(generator), y = position(generator);
    text += fmt::sprintf("%.3f %.3f %.4f\n", x, y, std::cos(x / 25.0) + 0.03 * y + noise(generator));
  }
  return text;
}

constexpr const char* kGrid = "prediction xmin=0 ymin=0 xmax=100 ymax=100 dx=5 dy=5\n";

// With every point in each neighbourhood the local systems are the global one: the
// grids agree to the float rounding of the stored values.
TEST(LocalKrigingBatch, AllPointsAsNeighboursGiveTheGlobalGrid) {
  const char* const optionLines[] = {
      "kriging-options nugget=0.1\n",
      "kriging-options type=ordinary model=spherical\n",
      "kriging-options type=ordinary model=gaussian nugget=0.05 angle=30 ratio=0.6\n",
  };
  for (const char* options : optionLines) {
    BatchRun global, local;
    test::WriteFileBytes(global.folder / "points.xyz", PointsFile());
    test::WriteFileBytes(local.folder / "points.xyz", PointsFile());
    const std::string start = std::string("open-random points.xyz\n") + options;
    ASSERT_EQ(global.Run(start + "variogram lag=8\n" + kGrid), 0) << options << global.out.str();
    ASSERT_EQ(local.Run(start + "kriging-options neighbours=60\nvariogram lag=8\n" + kGrid), 0)
        << options << local.out.str();

    EXPECT_NE(local.out.str().find("each node from the nearest 60 points"), std::string::npos) << local.out.str();
    EXPECT_NE(local.out.str().find("Files written: verification.txt"), std::string::npos);
    EXPECT_FALSE(local.doc.krigingState->inverse) << options;

    const GridModel& a = *global.doc.grid;
    const GridModel& b = *local.doc.grid;
    ASSERT_EQ(a.layerCount, 2) << options;
    ASSERT_EQ(b.layerCount, 2) << options;
    ASSERT_EQ(a.values.size(), b.values.size());
    EXPECT_TRUE(b.emptyNodes.empty());
    double worst = 0.0;
    for (std::size_t k = 0; k < a.values.size(); ++k) {
      const double scale = std::max(1.0, std::fabs(static_cast<double>(a.values[k])));
      worst = std::max(worst, std::fabs(static_cast<double>(a.values[k]) - b.values[k]) / scale);
    }
    EXPECT_LT(worst, 4e-7) << options;  // two float roundings
  }
}

// The global mode writes the n x n kriging matrix and its inverse beside the data; the
// local mode, which has no global system, writes neither (its "inverse_matrix.txt" is
// the variogram fit's small one, as in every run, not the n x n inverse that the global
// mode writes over it).
TEST(LocalKrigingBatch, WritesNoneOfTheMatrixFiles) {
  // One run at a time: each makes its own folder the working folder.
  auto sizesOf = [](const std::string& options) {
    BatchRun run;
    test::WriteFileBytes(run.folder / "points.xyz", PointsFile());
    EXPECT_EQ(run.Run("open-random points.xyz\n" + options + "variogram lag=8\n" + kGrid), 0) << run.out.str();
    std::map<std::string, std::uintmax_t> sizes;
    for (const auto& entry : std::filesystem::directory_iterator(run.folder.Path()))
      sizes[entry.path().filename().string()] = entry.file_size();
    return sizes;
  };
  auto global = sizesOf(""), local = sizesOf("kriging-options neighbours=16\n");
  for (const char* name : {"kriging_matrix.txt", "kriging_matrix_inv.txt"}) {
    EXPECT_EQ(global.count(name), 1u) << name;  // the check looks where the files land
    EXPECT_EQ(local.count(name), 0u) << name;
  }
  EXPECT_GT(global["inverse_matrix.txt"], 60u * 60u * 8u);
  EXPECT_LT(local["inverse_matrix.txt"], 200u);
  for (const auto& [name, size] : local) EXPECT_EQ(name.find("cloud"), std::string::npos) << name;
  EXPECT_EQ(local.count("verification.txt"), 1u);
  EXPECT_EQ(local.count("variogram.txt"), 1u);
}

TEST(LocalKrigingBatch, NodesWithTooFewNeighboursAreHiddenAndCounted) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", PointsFile());
  ASSERT_EQ(run.Run(std::string("open-random points.xyz\nkriging-options neighbours=8 maxdist=9\n"
                                "variogram lag=8\n") +
                    kGrid),
            0)
      << run.out.str();
  const GridModel& grid = *run.doc.grid;
  ASSERT_EQ(grid.emptyNodes.size(), grid.NodeCount());
  std::size_t empty = 0;
  const HiddenNodes hidden(grid);
  for (int i = 0; i < grid.NX; ++i)
    for (int j = 0; j < grid.NY; ++j) {
      const bool isEmpty = grid.emptyNodes[static_cast<std::size_t>(i) * grid.NY + j] != 0;
      empty += isEmpty ? 1 : 0;
      EXPECT_EQ(hidden.Hidden(i, j), isEmpty);
      EXPECT_TRUE(std::isfinite(grid.Value(0, i, j)));
      EXPECT_TRUE(std::isfinite(grid.Value(1, i, j)));
    }
  ASSERT_GT(empty, 0u);
  ASSERT_LT(empty, grid.NodeCount());
  EXPECT_NE(run.out.str().find(fmt::sprintf("%d nodes had fewer than 3 neighbours", empty)), std::string::npos)
      << run.out.str();

  // A global run afterwards shows every node again.
  ASSERT_EQ(run.Run(std::string("kriging-options neighbours=0 maxdist=0\nvariogram lag=8\n") + kGrid), 0);
  EXPECT_TRUE(run.doc.grid->emptyNodes.empty());
  EXPECT_FALSE(HiddenNodes(*run.doc.grid).Any());
}

// Two points at one position are reported before any neighbourhood is built, as in
// the global mode, and the document keeps no half-made state.
TEST(LocalKrigingBatch, CoincidentPointsAreReported) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", PointsFile() + "50 50 1.0\n50 50 1.2\n");
  EXPECT_EQ(run.Run("open-random points.xyz\nkriging-options neighbours=12\nvariogram lag=8\n"), 2);
  EXPECT_NE(run.out.str().find("lie at the same position"), std::string::npos) << run.out.str();
  EXPECT_FALSE(run.doc.krigingState && run.doc.krigingState->primary);
}

}  // namespace
}  // namespace gridora

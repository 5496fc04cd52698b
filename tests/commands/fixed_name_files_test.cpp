// The diagnostic and result files written under fixed names must never be turned
// against the user: a symbolic link planted under such a name is not followed (its
// target stays byte for byte), and a FIFO does not hang the command.
#include <fmt/printf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "support/batch_run.h"
#include "support/test_support.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

std::string Points(int count, double phase) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    // Points on a sheared lattice: no two share a position.
    const double x = (i % 8) * 2 + 0.3 * (i / 8) + phase, y = (i / 8) * 2 + 0.1 * (i % 8);
    text += fmt::sprintf("%.3f %.3f %.3f\n", x, y, 100.0 + 10.0 * std::sin(0.3 * x + phase) + y);
  }
  return text;
}

// Every command that leaves a fixed-name file, run in the folder of its data (the
// current folder and the data folder are the same here).
constexpr const char* kScript =
    "open-random points.xyz\n"
    "open-random second.xyz import=secondary\n"
    "min-curvature dx=1 dy=1\n"
    "variogram\n"
    "prediction dx=1 dy=1\n"
    "average-x xmin=0 xint=1\n"
    "statistics\n";

struct Plant {
  test::BatchRun run;
  fs::path victim;

  Plant() {
    test::WriteFileBytes(run.folder / "points.xyz", Points(40, 0.0));
    test::WriteFileBytes(run.folder / "second.xyz", Points(30, 0.5));
    victim = run.folder.Path().parent_path() / (run.folder.Path().filename().string() + "-victim");
    test::WriteFileBytes(victim, "the user's own file\n");
  }
  ~Plant() { fs::remove(victim); }

  std::set<std::string> FilesWritten() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(run.folder.Path()))
      if (entry.is_regular_file()) names.insert(entry.path().filename().string());
    return names;
  }
};

// The fixed names and whether a refusal fails the command (result files, whose
// command exists to write them) or only skips a log.
const struct {
  const char* name;
  bool resultFile;
} kFixedNames[] = {
    {"ReadText.txt", false},
    {"interpolation_0.txt", false},
    {"DrawMap.txt", false},
    {"Legend.txt", false},
    {"ShowRandomData.txt", false},
    {"variogram.txt", false},
    {"variogram_optimization.txt", false},
    {"kriging_matrix.txt", false},
    {"kriging_matrix_inv.txt", false},
    {"kriging_matrix_c12.txt", false},
    {"kriging_matrix_c22.txt", false},
    {"inverse_matrix.txt", false},
    {"cokriging_matrix.txt", false},
    {"cross_distance_matrix.txt", false},
    {"cross_dissimilarity_matrix.txt", false},
    {"variogram_cloud_cross.txt", false},
    {"cokriging_verification.txt", false},
    {"average_x.csv", true},
    {"data_statistics.txt", true},
};

TEST(FixedNameFiles, TheScriptWritesEveryNameOfTheTable) {
  Plant plant;
  ASSERT_EQ(plant.run.Run(kScript), 0) << plant.run.err.str();
  const std::set<std::string> written = plant.FilesWritten();
  for (const auto& c : kFixedNames) EXPECT_EQ(written.count(c.name), 1u) << c.name;
}

TEST(FixedNameFiles, ALinkIsNotFollowedAndAFifoDoesNotHang) {
  for (const bool fifo : {false, true}) {
    for (const auto& c : kFixedNames) {
      Plant plant;
      const fs::path planted = plant.run.folder / c.name;
      if (fifo)
        ASSERT_EQ(::mkfifo(planted.c_str(), 0600), 0);
      else
        fs::create_symlink(plant.victim, planted);
      const std::string context = std::string(c.name) + (fifo ? " (FIFO)" : " (link)");

      const int status = plant.run.Run(kScript);
      if (c.resultFile) {
        EXPECT_EQ(status, 2) << context;
        EXPECT_NE(plant.run.out.str().find("Cannot write the file"), std::string::npos) << context;
      } else {
        EXPECT_EQ(status, 0) << context << ": " << plant.run.err.str();
      }
      EXPECT_EQ(test::ReadFileBytes(plant.victim), "the user's own file\n") << context;
      EXPECT_EQ(fifo ? fs::is_fifo(fs::symlink_status(planted)) : fs::is_symlink(fs::symlink_status(planted)), true)
          << context;
    }
  }
}

}  // namespace
}  // namespace gridora

// Interpolation > Minimum curvature options: the dialog and its profile keys, the batch
// command, and what the options change (and leave alone) in the gridding command.
#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "commands/command_ids.h"
#include "dialogs/surface_options_dialog.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::BatchRun;
using test::DocumentFixture;

TEST(SurfaceOptionsCommand, DialogProposesTheStoredOptionsAndStoresTheChosenOnes) {
  DocumentFixture f;
  EXPECT_TRUE(f.State(ID_SURFACE_OPTIONS).enabled);
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& dialog = dynamic_cast<SurfaceOptionsDialog&>(d);
    EXPECT_EQ(dialog.tension, 0.5f);
    EXPECT_EQ(dialog.fit, SurfaceOptionsDialog::kFitSpecified);
    EXPECT_EQ(dialog.solver, SurfaceOptionsDialog::kSolverAutomatic);
    return test::SetField(d, "tension", "0.25") && test::SetField(d, "fit", "1") && test::SetField(d, "solver", "2");
  });
  ASSERT_EQ(f.Run(ID_SURFACE_OPTIONS), CommandStatus::Done);
  EXPECT_EQ(f.ui.dialogTitles, std::vector<std::string>{"Minimum curvature options"});
  EXPECT_EQ(f.profile.Raw("General", "fSurfaceTension"), "0.250000");
  EXPECT_EQ(f.profile.ReadInt("General", "iSurfaceFit", -1), 1);
  EXPECT_EQ(f.profile.ReadInt("General", "iSurfaceSolver", -1), 2);

  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& dialog = dynamic_cast<SurfaceOptionsDialog&>(d);
    EXPECT_EQ(dialog.tension, 0.25f);
    EXPECT_EQ(dialog.fit, SurfaceOptionsDialog::kFitExact);
    EXPECT_EQ(dialog.solver, SurfaceOptionsDialog::kSolverMultigrid);
    return false;
  });
  EXPECT_EQ(f.Run(ID_SURFACE_OPTIONS), CommandStatus::Canceled);
  EXPECT_EQ(f.profile.Raw("General", "fSurfaceTension"), "0.250000");
}

TEST(SurfaceOptionsCommand, BatchKeysAndRefusals) {
  struct Case {
    const char* script;
    int status;
    const char* tension;  // stored text afterwards, "" when never written
  } cases[] = {
      {"surface-options tension=0 fit=exact solver=direct\n", 0, "0.000000"},
      {"surface-options\n", 0, "0.500000"},
      {"surface-options tension=1.5\n", 2, ""},
      {"surface-options tension=-0.1\n", 2, ""},
      {"surface-options fit=tight\n", 2, ""},
      {"surface-options solver=fast\n", 2, ""},
      {"surface-options tension=0.3 cancel=yes\n", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    BatchRun run;
    EXPECT_EQ(run.Run(c.script), c.status) << run.err.str();
    EXPECT_EQ(run.profile.Raw("General", "fSurfaceTension"), c.tension);
  }
}

// What one batch run of the gridding leaves: its output, its log and its grid.
struct Gridded {
  std::string out, log;
  std::vector<float> values;
  int NY = 0;
  float range = 0.0f;
  std::vector<DataPoint> points;
};

// Points on distinct nodes of a 21 x 16 grid at spacing 1 (two of them fix the extent),
// gridded after the given options.
Gridded GridWith(const std::string& options) {
  BatchRun run;
  std::string points;
  for (int p = 0; p < 40; ++p) {
    const int x = (p * 7) % 21, y = (p * 5) % 16;
    points += fmt::sprintf("%d %d %f\n", x, y, std::sin(x / 3.0) * 10.0 + y * 0.5);
  }
  points += "20 15 2\n";
  test::WriteFileBytes(run.folder / "points.txt", points);
  EXPECT_EQ(run.Run(options + "open-random points.txt\nmin-curvature\n"), 0) << run.err.str();
  const GridModel& grid = *run.doc.grid;
  const RandomData& data = *run.doc.primaryData;
  return {run.out.str(),
          test::ReadFileBytes(run.folder / "interpolation_0.txt"),
          grid.values,
          grid.NY,
          grid.layerMaximum[0] - grid.layerMinimum[0],
          std::vector<DataPoint>(data.points.get(), data.points.get() + data.count)};
}

TEST(SurfaceOptionsCommand, DefaultOptionsLeaveTheGridAndLogByteIdentical) {
  const Gridded plain = GridWith("");
  const Gridded explicitDefaults = GridWith("surface-options tension=0.5 fit=specified solver=auto\n");
  ASSERT_FALSE(plain.log.empty());
  EXPECT_EQ(plain.log, explicitDefaults.log);
  EXPECT_EQ(plain.out, explicitDefaults.out);
  EXPECT_EQ(plain.values, explicitDefaults.values);
}

TEST(SurfaceOptionsCommand, ExactFitPassesThroughPointsOnNodes) {
  for (const char* tension : {"0", "0.5", "1"}) {
    SCOPED_TRACE(tension);
    const Gridded exact = GridWith(std::string("surface-options fit=exact tension=") + tension + "\n");
    ASSERT_EQ(exact.points.size(), 41u);
    for (const DataPoint& p : exact.points) {
      const std::size_t node = static_cast<std::size_t>(p.x) * exact.NY + static_cast<std::size_t>(p.y);
      EXPECT_NEAR(exact.values[node], p.z, 1e-6 * exact.range + 1e-6) << p.x << " " << p.y;
    }
  }
}

TEST(SurfaceOptionsCommand, MultigridGivesTheDirectGridWithinTheTolerance) {
  const Gridded direct = GridWith("surface-options solver=direct\n");
  const Gridded multigrid = GridWith("surface-options solver=multigrid\n");
  ASSERT_EQ(direct.values.size(), multigrid.values.size());
  for (std::size_t k = 0; k < direct.values.size(); ++k)
    ASSERT_NEAR(direct.values[k], multigrid.values[k], 1e-5 * direct.range) << k;
  EXPECT_NE(multigrid.out.find("Interporation by minimum curvature completed! flag=0"), std::string::npos);
}

}  // namespace
}  // namespace gridora

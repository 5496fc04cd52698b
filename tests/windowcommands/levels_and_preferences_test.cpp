// The user's contour levels as lines (the Minimum and the Maximum too), the standard
// error's levels of its own, the check marks of the toggles, and Preferences > Write
// diagnostic files.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <filesystem>
#include <string>

#include "commands/command_ids.h"
#include "menus/command_catalogue.h"
#include "platform/diagnostic_file.h"
#include "platform/profile.h"
#include "support/batch_run.h"
#include "view/map_contour_levels.h"

namespace gridora {
namespace {

using test::BatchRun;

// 60 points of a plane z = x + y over 0..90, enough for a kriging with its error layer.
struct PlaneRun : BatchRun {
  PlaneRun() {
    std::string text;
    for (int i = 0; i < 60; ++i) {
      const int x = (i * 37) % 91, y = (i * 53) % 91;
      text += fmt::format("{} {} {}\n", x, y, x + y);
    }
    test::WriteFileBytes(folder / "plane.xyz", text);
  }
};

TEST(UserLevels, MinimumAndMaximumAreLinesToo) {
  PlaneRun run;
  ASSERT_EQ(run.Run("open-random plane.xyz\nmin-curvature dx=5 dy=5\ncontour-setup min=40 max=120 int=40\n"), 0)
      << run.err.str();
  EXPECT_EQ(CurrentContourLevels(run.doc).levels, (std::vector<double>{40, 80, 120}));
  // The default levels are unchanged: inner levels only, none at the range's ends.
  ASSERT_EQ(run.Run("default-contour\n"), 0) << run.err.str();
  const std::vector<double> levels = CurrentContourLevels(run.doc).levels;
  ASSERT_FALSE(levels.empty());
  EXPECT_GT(levels.front(), run.doc.grid->layerMinimum[0]);
}

TEST(UserLevels, TheStandardErrorKeepsLevelsOfItsOwn) {
  PlaneRun run;
  ASSERT_EQ(run.Run("open-random plane.xyz\nvariogram lag=20\nstandard-error\nprediction dx=10 dy=10\n"
                    "standard-error\ncontour-setup min=40 max=120 int=40\nstandard-error\n"),
            0)
      << run.err.str();
  ASSERT_EQ(run.doc.grid->layerCount, 2);
  ASSERT_EQ(run.doc.layerIndex, 1);
  // Shown: default levels over the error's own range, not the estimate's 40, 80, 120.
  const std::vector<double> errorDefaults = CurrentContourLevels(run.doc).levels;
  ASSERT_GT(errorDefaults.size(), 3u);
  EXPECT_LT(errorDefaults.back(), run.doc.grid->layerMaximum[1] + 1e-3);
  // Levels set while the error is shown are the error's; the estimate keeps its own.
  ASSERT_EQ(run.Run("contour-setup min=1 max=3 int=1\n"), 0) << run.err.str();
  EXPECT_EQ(CurrentContourLevels(run.doc).levels, (std::vector<double>{1, 2, 3}));
  ASSERT_EQ(run.Run("standard-error\n"), 0) << run.err.str();
  EXPECT_EQ(CurrentContourLevels(run.doc).levels, (std::vector<double>{40, 80, 120}));
  ASSERT_EQ(run.Run("standard-error\ndefault-contour\n"), 0) << run.err.str();
  EXPECT_EQ(CurrentContourLevels(run.doc).levels, errorDefaults);
}

TEST(Toggles, CarryCheckMarks) {
  const CommandTable table = BuildCommandTable();
  for (int id : {ID_STANDARD_ERROR, ID_CONTOUR_LABELS, ID_BLANK_HULL}) EXPECT_TRUE(table.IsCheckable(id)) << id;
}

// The switch is the process's: every test leaves it on.
struct DiagnosticFilesBackOn {
  ~DiagnosticFilesBackOn() { SetDiagnosticFilesEnabled(true); }
};

TEST(Preferences, DiagnosticFilesCanBeTurnedOff) {
  DiagnosticFilesBackOn backOn;
  struct Case {
    const char* preference;
    bool written;
  } cases[] = {{"", true}, {"preferences diagnostic-files=yes\n", true}, {"preferences diagnostic-files=no\n", false}};
  for (const auto& c : cases) {
    PlaneRun run;
    ASSERT_EQ(run.Run(std::string(c.preference) + "open-random plane.xyz\nmin-curvature dx=5 dy=5\n"), 0)
        << run.err.str();
    EXPECT_EQ(std::filesystem::exists(run.folder / "interpolation_0.txt"), c.written) << c.preference;
    EXPECT_EQ(run.profile.ReadInt(kProfileSection, "iDiagnosticFiles", 1) == 0, !c.written) << c.preference;
  }
}

TEST(Preferences, AnUnknownAnswerStopsTheScript) {
  DiagnosticFilesBackOn backOn;
  PlaneRun run;
  EXPECT_EQ(run.Run("preferences diagnostic-files=maybe\n"), 2);
  EXPECT_TRUE(DiagnosticFilesEnabled());
}

TEST(OpenTable, APointTableIsPointedToImportTable) {
  std::string points = "id,x,y,z\n";
  for (int i = 0; i < 50; ++i) points += fmt::format("w{},{},{},{}\n", i, i, 2 * i, 3 * i);
  struct Case {
    std::string table;
    bool hint;
  } cases[] = {{points, true}, {"1,2,3\n4,5,6\n7,8,9\n", false}};
  for (const auto& c : cases) {
    BatchRun run;
    test::WriteFileBytes(run.folder / "t.csv", c.table);
    ASSERT_EQ(run.Run("open t.csv\n"), 0) << run.err.str();
    EXPECT_EQ(run.out.str().find("read it with Data > Import table... instead") != std::string::npos, c.hint)
        << run.out.str();
  }
}

}  // namespace
}  // namespace gridora

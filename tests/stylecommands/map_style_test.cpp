// The batch command map-style and export-layout: keys to the style, a word that names
// no ramp refused with the style untouched, keys left out kept, the map's colours.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <string>

#include "render/color_scale.h"
#include "render/drawing_parameter.h"
#include "render/recording_context.h"
#include "support/batch_run.h"
#include "view/contour_map.h"

namespace gridora {
namespace {

struct PlaneRun : test::BatchRun {
  PlaneRun() {
    std::string text;
    for (int i = 0; i < 30; ++i) {
      const int x = (i * 37) % 61, y = (i * 53) % 61;
      text += fmt::format("{} {} {}\n", x, y, x + y);
    }
    test::WriteFileBytes(folder / "plane.xyz", text);
    EXPECT_EQ(Run("open-random plane.xyz\nmin-curvature dx=5 dy=5\n"), 0) << err.str();
  }
  const MapStyle& Style() const { return doc.mapParameter->style; }
};

TEST(MapStyleCommand, KeysSetTheStyleAndKeysLeftOutKeepIt) {
  PlaneRun run;
  ASSERT_EQ(run.Run("map-style ramp=viridis reverse=yes legend-title=\"Head of the aquifer\" legend-units=m\n"), 0)
      << run.err.str();
  EXPECT_EQ(run.Style().ramp, ColorRamp::Viridis);
  EXPECT_TRUE(run.Style().reverse);
  EXPECT_EQ(run.Style().legendTitle, "Head of the aquifer");
  EXPECT_EQ(run.Style().legendUnits, "m");
  ASSERT_EQ(run.Run("map-style ramp=greys\n"), 0) << run.err.str();
  EXPECT_EQ(run.Style().ramp, ColorRamp::Greys);
  EXPECT_TRUE(run.Style().reverse);
  EXPECT_EQ(run.Style().legendTitle, "Head of the aquifer");
  ASSERT_EQ(run.Run("map-style reverse=no legend-title= legend-units=\n"), 0) << run.err.str();
  EXPECT_FALSE(run.Style().reverse);
  EXPECT_TRUE(run.Style().legendTitle.empty());
}

TEST(MapStyleCommand, RefusesWordsThatNameNoChoiceAndKeepsTheStyle) {
  for (const char* line : {"map-style ramp=jet\n", "map-style reverse=maybe\n", "map-style colour=red\n"}) {
    PlaneRun run;
    ASSERT_EQ(run.Run("map-style ramp=cividis\n"), 0) << run.err.str();
    EXPECT_EQ(run.Run(line), 2) << line;
    EXPECT_EQ(run.Style().ramp, ColorRamp::Cividis) << line;
  }
}

TEST(MapStyleCommand, TheMapTakesTheRampsColours) {
  PlaneRun run;
  ASSERT_EQ(run.Run("map-style ramp=viridis\n"), 0) << run.err.str();
  float low = 0.0f, high = 0.0f;
  SetupColorLevels(run.doc, low, high);
  const ColorScale& scale = *run.doc.colorScale;
  EXPECT_EQ(scale.LookupColor(low), RampColor(ColorRamp::Viridis, 0.0));
  EXPECT_EQ(scale.LookupColor(high), RampColor(ColorRamp::Viridis, 1.0));
  ASSERT_EQ(run.Run("map-style reverse=yes\n"), 0) << run.err.str();
  SetupColorLevels(run.doc, low, high);
  EXPECT_EQ(scale.LookupColor(low), RampColor(ColorRamp::Viridis, 1.0));
}

// A map-style line that changes nothing leaves the drawing as it was, call for call.
TEST(MapStyleCommand, DefaultStyleDrawsTheMapAsBefore) {
  PlaneRun run;
  const LogicalRect layout{0, 0, 6000, -4000};
  RecordingContext before;
  DrawMap(before, run.doc, layout);
  ASSERT_EQ(run.Run("map-style ramp=viridis legend-title=x\nmap-style ramp=rainbow legend-title=\n"), 0)
      << run.err.str();
  RecordingContext after;
  DrawMap(after, run.doc, layout);
  ASSERT_EQ(before.Calls().size(), after.Calls().size());
  for (std::size_t i = 0; i < before.Calls().size(); ++i) {
    const RecordedCall& a = before.Calls()[i];
    const RecordedCall& b = after.Calls()[i];
    EXPECT_EQ(a.op, b.op) << i;
    EXPECT_EQ(a.args, b.args) << i;
    EXPECT_EQ(a.text, b.text) << i;
    EXPECT_EQ(a.brush.color, b.brush.color) << i;
  }
}

// Without a painter (the core's batch view host) the export says so and fails.
TEST(ExportLayoutCommand, NeedsAPathAndADrawingHost) {
  PlaneRun run;
  EXPECT_EQ(run.Run("export-layout page.pdf title=\"Heads\"\n"), 2);
  EXPECT_NE(run.out.str().find("not available"), std::string::npos) << run.out.str();
}

}  // namespace
}  // namespace gridora

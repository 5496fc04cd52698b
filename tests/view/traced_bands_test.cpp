#include "render/traced_bands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/cell_renderer.h"
#include "render/color_scale.h"
#include "render/recording_context.h"
#include "render_fixture.h"
#include "view/document.h"
#include "view/traced_band_cache.h"

namespace gridora {
namespace {

struct Shape {
  std::vector<LogicalPoint> points;
  bool line = false;
  Color color = 0;
};

// Even-odd rule, as the fills use.
bool Inside(const std::vector<LogicalPoint>& polygon, double x, double y) {
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const double xi = polygon[i].x, yi = polygon[i].y, xj = polygon[j].x, yj = polygon[j].y;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

// The colour each sample point ends up with when the fills are painted in order, one
// sample per logical unit; the samples sit off every line through two whole units.
std::vector<Color> Painted(const std::vector<Shape>& shapes, const LogicalRect& area) {
  const int width = area.right - area.left, height = area.top - area.bottom;
  std::vector<Color> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), Rgb(255, 255, 255));
  for (const Shape& s : shapes) {
    if (s.line) continue;
    int left = area.right, right = area.left, bottom = area.top, top = area.bottom;
    for (const LogicalPoint& p : s.points) {
      left = std::min(left, p.x);
      right = std::max(right, p.x);
      bottom = std::min(bottom, p.y);
      top = std::max(top, p.y);
    }
    for (int y = std::max(bottom, area.bottom); y < std::min(top + 1, area.top); ++y)
      for (int x = std::max(left, area.left); x < std::min(right + 1, area.right); ++x)
        if (Inside(s.points, x + 0.3141, y + 0.2718))
          picture[static_cast<std::size_t>(y - area.bottom) * width + static_cast<std::size_t>(x - area.left)] =
              s.color;
  }
  return picture;
}

std::vector<Shape> ShapesOf(const TracedBands& bands) {
  std::vector<Shape> shapes;
  for (const TracedBands::Shape& s : bands.shapes)
    shapes.push_back(
        {std::vector<LogicalPoint>(bands.points.begin() + s.first, bands.points.begin() + s.first + s.count),
         s.kind == TracedBands::Kind::Line, s.color});
  return shapes;
}

std::vector<Shape> ShapesOf(const RecordingContext& dc) {
  std::vector<Shape> shapes;
  for (const RecordedCall& call : dc.Calls()) {
    if (call.op != "Polygon" && call.op != "Polyline") continue;
    Shape shape{{}, call.op == "Polyline", call.op == "Polygon" ? call.brush.color : 0};
    for (std::size_t i = 0; i + 1 < call.args.size(); i += 2) shape.points.push_back({call.args[i], call.args[i + 1]});
    shapes.push_back(shape);
  }
  return shapes;
}

// A hill with a flat top and a flat floor, so that long runs of cells lie in one band
// while others are cut by several levels.
struct Hill {
  test::MapFixture m;
  std::vector<int> xs, ys;

  Hill(int nx, int ny) {
    std::vector<std::vector<float>> columns(static_cast<std::size_t>(nx),
                                            std::vector<float>(static_cast<std::size_t>(ny)));
    for (int ix = 0; ix < nx; ++ix)
      for (int iy = 0; iy < ny; ++iy) {
        const double r = std::hypot(ix - nx / 2.0, (iy - ny / 2.0) * 1.3);
        columns[static_cast<std::size_t>(ix)][static_cast<std::size_t>(iy)] =
            static_cast<float>(std::clamp(34.0 - 4.0 * r, 0.0, 30.0));
      }
    test::FillGrid(m.doc, columns);
    m.doc.colorScale->SetupDefault(0.0f, 40.0f, 8, false);
    m.doc.cellRenderer->SetColorScale(*m.doc.colorScale);
    for (int ix = 0; ix < nx; ++ix) xs.push_back(200 + ix * 37);
    for (int iy = 0; iy < ny; ++iy) ys.push_back(-(150 + (ny - 1 - iy) * 29));
  }
  const GridModel& grid() { return *m.doc.grid; }

  // The cells drawn one by one, as a context without traced bands gets them.
  RecordingContext CellByCell() {
    RecordingContext dc;
    const GridModel& g = grid();
    for (int ix = 0; ix + 1 < g.NX; ++ix)
      for (int iy = 0; iy + 1 < g.NY; ++iy) {
        const CellCorner corners[4] = {{xs[ix], ys[iy + 1], g.Value(0, ix, iy + 1)},
                                       {xs[ix], ys[iy], g.Value(0, ix, iy)},
                                       {xs[ix + 1], ys[iy], g.Value(0, ix + 1, iy)},
                                       {xs[ix + 1], ys[iy + 1], g.Value(0, ix + 1, iy + 1)}};
        m.doc.cellRenderer->DrawCell(dc, corners);
      }
    return dc;
  }
};

TEST(TracedBands, CoverWhatTheCellsCoverWithFewerFills) {
  for (int lines : {0, 1}) {
    SCOPED_TRACE(lines);
    Hill hill(20, 15);
    hill.m.doc.cellRenderer->drawContourLines = lines;
    const std::vector<Shape> cells = ShapesOf(hill.CellByCell());
    const TracedBands bands = TraceBands(hill.grid(), 0, hill.xs, hill.ys, *hill.m.doc.cellRenderer, 1);
    const std::vector<Shape> traced = ShapesOf(bands);

    auto fills = [](const std::vector<Shape>& shapes) {
      return std::count_if(shapes.begin(), shapes.end(), [](const Shape& s) { return !s.line; });
    };
    EXPECT_LT(fills(traced) * 4, fills(cells) * 3);  // the one-band runs joined
    const LogicalRect area{hill.xs.front(), hill.ys.back(), hill.xs.back(), hill.ys.front()};
    EXPECT_EQ(Painted(traced, area), Painted(cells, area));
    EXPECT_EQ(bands.bounds.left, area.left);
    EXPECT_EQ(bands.bounds.right, area.right);
    EXPECT_EQ(bands.bounds.top, area.top);
    EXPECT_EQ(bands.bounds.bottom, area.bottom);

    // The contour cuts are kept, in their order.
    std::vector<std::vector<LogicalPoint>> cellCuts, tracedCuts;
    for (const Shape& s : cells)
      if (s.line) cellCuts.push_back(s.points);
    for (const Shape& s : traced)
      if (s.line) tracedCuts.push_back(s.points);
    EXPECT_EQ(tracedCuts.size(), cellCuts.size());
    EXPECT_TRUE(tracedCuts == cellCuts);
    EXPECT_EQ(cellCuts.empty(), lines == 0);
  }
}

TEST(TracedBands, SlicesOfColumnsJoinIntoTheSamePicture) {
  Hill hill(300, 7);
  const TracedBands one = TraceBands(hill.grid(), 0, hill.xs, hill.ys, *hill.m.doc.cellRenderer, 1);
  for (unsigned threads : {2u, 3u}) {
    const TracedBands many = TraceBands(hill.grid(), 0, hill.xs, hill.ys, *hill.m.doc.cellRenderer, threads);
    EXPECT_TRUE(many.points == one.points) << threads;
    EXPECT_TRUE(many.shapes == one.shapes) << threads;
  }
}

TEST(TracedBands, KeptUntilTheValuesThePlacementOrTheLevelsChange) {
  Hill hill(12, 9);
  Document& doc = hill.m.doc;
  const auto first = TracedBandsFor(doc, hill.xs, hill.ys);
  EXPECT_EQ(TracedBandsFor(doc, hill.xs, hill.ys), first);

  doc.grid->Value(0, 6, 4) = 12.5f;  // changed in place, unannounced
  const auto changedValue = TracedBandsFor(doc, hill.xs, hill.ys);
  EXPECT_NE(changedValue, first);

  std::vector<int> moved = hill.xs;
  for (int& x : moved) x += 5;
  const auto changedPlace = TracedBandsFor(doc, moved, hill.ys);
  EXPECT_NE(changedPlace, changedValue);
  EXPECT_EQ(changedPlace->points.front().x, changedValue->points.front().x + 5);

  doc.colorScale->SetupDefault(0.0f, 40.0f, 8, true);  // the colours reversed
  const auto recoloured = TracedBandsFor(doc, moved, hill.ys);
  EXPECT_NE(recoloured, changedPlace);
  EXPECT_NE(recoloured->shapes.front().color, changedPlace->shapes.front().color);

  doc.cellRenderer->drawContourLines = 1;
  EXPECT_NE(TracedBandsFor(doc, moved, hill.ys), recoloured);
}

}  // namespace
}  // namespace gridora

#include "render/traced_bands.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <thread>
#include <utility>

#include "document/grid_model.h"
#include "render/cell_renderer.h"
#include "render/color_scale.h"

namespace gridora {
namespace {

// Takes down what the cell renderer draws: fills with the selected brush's colour and
// the contour cuts.
class TracingContext : public DrawingContext {
 public:
  explicit TracingContext(TracedBands& out) : out_(out) {}

  Pen SelectPen(const Pen& pen) override { return std::exchange(pen_, pen); }
  Brush SelectBrush(const Brush& brush) override { return std::exchange(brush_, brush); }
  Font SelectFont(const Font& font) override { return font; }
  Pen SelectStockPen(int index) override {
    Pen pen;
    if (index == kNullPen) pen.style = PenStyle::Null;
    return SelectPen(pen);
  }
  LogicalPoint MoveTo(int x, int y) override { return {x, y}; }
  void LineTo(int, int) override {}
  void Polyline(const LogicalPoint* points, int count) override { Add(points, count, TracedBands::Kind::Line, 0); }
  void Polygon(const LogicalPoint* points, int count) override {
    Add(points, count, TracedBands::Kind::Fill, brush_.color);
  }
  int SetPolyFillMode(int mode) override { return mode; }
  void Rectangle(const LogicalRect&) override {}
  void Ellipse(const LogicalRect&) override {}
  void FillRect(const LogicalRect&, const Brush*) override {}
  void TextOut(int, int, const std::string&) override {}
  Color SetTextColor(Color color) override { return color; }
  int SetBkMode(int mode) override { return mode; }
  void StretchPixelMap(const LogicalRect&, const PixelMap&) override {}
  LogicalRect DeviceToLogical(const LogicalRect& r) override { return r; }

 private:
  void Add(const LogicalPoint* points, int count, TracedBands::Kind kind, Color color) {
    out_.shapes.push_back(
        {static_cast<std::uint32_t>(out_.points.size()), static_cast<std::uint32_t>(count), kind, color});
    out_.points.insert(out_.points.end(), points, points + count);
  }

  TracedBands& out_;
  Pen pen_;
  Brush brush_;
};

// True when the last four shapes are the four whole triangles of one cell in one band.
bool CellIsOneBand(const TracedBands& t, std::size_t shapesBefore) {
  if (t.shapes.size() != shapesBefore + 4) return false;
  const TracedBands::Shape& first = t.shapes[shapesBefore];
  for (std::size_t i = shapesBefore; i < t.shapes.size(); ++i) {
    const TracedBands::Shape& s = t.shapes[i];
    if (s.kind != TracedBands::Kind::Fill || s.count != 3 || s.color != first.color) return false;
  }
  return true;
}

// The band a cell lies in strictly inside, without touching either of its levels,
// or -1. The cell renderer then fills each of the cell's four triangles whole with
// that band's colour, so the cell need not be cut. Needs ascending levels.
class WholeBand {
 public:
  explicit WholeBand(const ColorScale& scale)
      : levels_(scale.levels.data()), count_(std::clamp(scale.levelCount, 0, static_cast<int>(scale.levels.size()))) {
    for (int i = 1; i < count_; ++i)
      if (!(levels_[i - 1] < levels_[i])) count_ = 0;
  }
  // The corners in the renderer's order (top-left, bottom-left, bottom-right,
  // top-right); the centre value is worked out as the renderer does.
  int operator()(float a, float b, float c, float d) const {
    const float centre = (a + b + c + d) * 0.25f;
    const float low = std::min({a, b, c, d, centre}), high = std::max({a, b, c, d, centre});
    if (count_ < 2 || !(low <= high)) return -1;  // also every NaN
    const int k = static_cast<int>(std::upper_bound(levels_, levels_ + count_, low) - levels_) - 1;
    if (k < 0 || k > count_ - 2) return -1;
    return levels_[k] < low && high < levels_[k + 1] ? k : -1;
  }

 private:
  const float* levels_;
  int count_;
};

// Node columns [firstColumn, endColumn) - each cell between column ix and ix + 1.
void TraceColumns(const GridModel& g, int layer, const std::vector<int>& xs, const std::vector<int>& ys,
                  const CellRenderer& renderer, int firstColumn, int endColumn, TracedBands& out) {
  TracingContext context(out);
  const WholeBand wholeBand(renderer.Scale());
  for (int ix = firstColumn; ix < endColumn; ++ix) {
    const float* left = g.Column(layer, ix);
    const float* right = g.Column(layer, ix + 1);
    const int xA = xs[static_cast<std::size_t>(ix)], xB = xs[static_cast<std::size_t>(ix) + 1];
    // The quadrilateral of the one-band run that the previous cell of this column
    // ended, when there is one: its index among the shapes.
    std::size_t run = SIZE_MAX;
    for (int iy = 0; iy + 1 < g.NY; ++iy) {
      const int yLow = ys[static_cast<std::size_t>(iy)], yHigh = ys[static_cast<std::size_t>(iy) + 1];
      const CellCorner corners[4] = {
          {xA, yHigh, left[iy + 1]},
          {xA, yLow, left[iy]},
          {xB, yLow, right[iy]},
          {xB, yHigh, right[iy + 1]},
      };
      const std::size_t shapesBefore = out.shapes.size();
      const std::size_t pointsBefore = out.points.size();
      Color color;
      const int band = wholeBand(corners[0].value, corners[1].value, corners[2].value, corners[3].value);
      if (band >= 0) {
        color = renderer.Scale().LevelColor(band);
      } else {
        renderer.DrawCell(context, corners);
        if (!CellIsOneBand(out, shapesBefore)) {
          run = SIZE_MAX;
          continue;
        }
        color = out.shapes[shapesBefore].color;
        out.shapes.resize(shapesBefore);
        out.points.resize(pointsBefore);
      }
      if (run != SIZE_MAX && run + 1 == shapesBefore && out.shapes[run].color == color) {
        // The run grows up by this cell: move its top corners.
        LogicalPoint* quad = out.points.data() + out.shapes[run].first;
        quad[0].y = yHigh;
        quad[3].y = yHigh;
        continue;
      }
      run = out.shapes.size();
      out.shapes.push_back({static_cast<std::uint32_t>(pointsBefore), 4, TracedBands::Kind::Fill, color});
      out.points.push_back({corners[0].x, corners[0].y});
      out.points.push_back({corners[1].x, corners[1].y});
      out.points.push_back({corners[2].x, corners[2].y});
      out.points.push_back({corners[3].x, corners[3].y});
    }
  }
}

void Append(TracedBands& to, const TracedBands& from) {
  const auto offset = static_cast<std::uint32_t>(to.points.size());
  to.points.insert(to.points.end(), from.points.begin(), from.points.end());
  for (TracedBands::Shape shape : from.shapes) {
    shape.first += offset;
    to.shapes.push_back(shape);
  }
}

LogicalRect BoundsOf(const std::vector<LogicalPoint>& points) {
  if (points.empty()) return {0, 0, 0, 0};
  LogicalRect r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const LogicalPoint& p : points) {
    r.left = std::min(r.left, p.x);
    r.right = std::max(r.right, p.x);
    r.top = std::max(r.top, p.y);
    r.bottom = std::min(r.bottom, p.y);
  }
  return r;
}

}  // namespace

TracedBands TraceBands(const GridModel& g, int layer, const std::vector<int>& xs, const std::vector<int>& ys,
                       const CellRenderer& renderer, unsigned threads) {
  const int cellColumns = std::max(g.NX - 1, 0);
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  // Small grids are not worth a thread.
  const int slices = std::clamp(static_cast<int>(threads), 1, std::max(1, cellColumns / 64));
  std::vector<TracedBands> parts(static_cast<std::size_t>(slices));
  auto bound = [&](int slice) { return static_cast<int>(static_cast<long long>(cellColumns) * slice / slices); };
  // A slice that runs out of memory passes that on to the caller once all have ended.
  std::vector<std::exception_ptr> errors(static_cast<std::size_t>(slices));
  auto trace = [&](int s) {
    try {
      TraceColumns(g, layer, xs, ys, renderer, bound(s), bound(s + 1), parts[static_cast<std::size_t>(s)]);
    } catch (...) {
      errors[static_cast<std::size_t>(s)] = std::current_exception();
    }
  };
  std::vector<std::thread> workers;
  for (int s = 1; s < slices; ++s) workers.emplace_back(trace, s);
  trace(0);
  for (std::thread& worker : workers) worker.join();
  for (const std::exception_ptr& error : errors)
    if (error) std::rethrow_exception(error);
  TracedBands all = std::move(parts[0]);
  for (std::size_t s = 1; s < parts.size(); ++s) Append(all, parts[s]);
  all.bounds = BoundsOf(all.points);
  return all;
}

}  // namespace gridora

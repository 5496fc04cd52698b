#include "view/contour_labels.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>

#include "document/hidden_nodes.h"
#include "gridops/contour_lines.h"
#include "render/logical_units.h"
#include "render/map_text.h"
#include "view/document.h"
#include "view/map_contour_levels.h"

namespace gridora {
namespace {

constexpr int kLabelHeight = 30;       // 3 mm, a little below the axis labels
constexpr double kLabelSpacing = 800;  // 80 mm of line between two labels of one line
constexpr double kDigitWidth = 0.56;   // Arial's digit advance per unit of height
constexpr double kGap = 8;             // clearance kept around a label
constexpr double kPi = 3.14159265358979323846;

struct Box {
  double left, bottom, right, top;
  bool Overlaps(const Box& o) const { return left < o.right && o.left < right && bottom < o.top && o.bottom < top; }
};

struct Candidate {
  PlanePoint centre;
  double angle;  // radians, upright: (-pi/2, pi/2]
};

// The point `at` along the polyline and the direction of its segment there.
bool PointAlong(const std::vector<PlanePoint>& line, const std::vector<double>& lengths, double at, Candidate& out) {
  const auto it = std::upper_bound(lengths.begin(), lengths.end(), at);
  if (it == lengths.begin() || it == lengths.end()) return false;
  const std::size_t i = static_cast<std::size_t>(it - lengths.begin()) - 1;
  const PlanePoint& a = line[i];
  const PlanePoint& b = line[i + 1];
  const double length = lengths[i + 1] - lengths[i];
  if (!(length > 0.0)) return false;
  const double t = (at - lengths[i]) / length;
  out.centre = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
  double angle = std::atan2(b.y - a.y, b.x - a.x);
  if (angle > kPi / 2) angle -= kPi;
  if (angle <= -kPi / 2) angle += kPi;
  out.angle = angle;
  return true;
}

// The label's rectangle turned by its angle, and the box around that.
Box Bounds(const Candidate& c, double width, double height, PlanePoint& topLeft) {
  const double ux = std::cos(c.angle), uy = std::sin(c.angle);
  const double nx = -uy, ny = ux;
  topLeft = {c.centre.x - ux * width / 2 + nx * height / 2, c.centre.y - uy * width / 2 + ny * height / 2};
  Box box{1e300, 1e300, -1e300, -1e300};
  for (double along : {0.0, width})
    for (double down : {0.0, height}) {
      const double x = topLeft.x + ux * along - nx * down, y = topLeft.y + uy * along - ny * down;
      box.left = std::min(box.left, x - kGap);
      box.right = std::max(box.right, x + kGap);
      box.bottom = std::min(box.bottom, y - kGap);
      box.top = std::max(box.top, y + kGap);
    }
  return box;
}

}  // namespace

std::string ContourLabelText(double level) { return fmt::sprintf("%g", level); }

std::vector<PlacedLabel> PlaceContourLabels(const std::vector<std::vector<PlanePoint>>& lines,
                                            const std::vector<std::string>& texts, const LogicalRect& frame, int height,
                                            double spacing) {
  std::vector<PlacedLabel> placed;
  std::vector<Box> taken;
  const Box inside{
      static_cast<double>(std::min(frame.left, frame.right)), static_cast<double>(std::min(frame.top, frame.bottom)),
      static_cast<double>(std::max(frame.left, frame.right)), static_cast<double>(std::max(frame.top, frame.bottom))};
  std::vector<double> lengths;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::vector<PlanePoint>& line = lines[k];
    if (line.size() < 2) continue;
    lengths.assign(1, 0.0);
    for (std::size_t i = 1; i < line.size(); ++i)
      lengths.push_back(lengths.back() + std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y));
    const double width = kDigitWidth * height * static_cast<double>(texts[k].size());
    // A label needs a stretch of line at least as long as itself.
    if (lengths.back() < 1.5 * width) continue;
    const double step = std::max(width / 2, 1.0);
    double next = std::min(spacing / 2, lengths.back() / 2);
    for (double at = next; at < lengths.back() - width / 2; at += step) {
      if (at < next || at < width / 2) continue;
      Candidate c;
      if (!PointAlong(line, lengths, at, c)) continue;
      PlanePoint topLeft;
      const Box box = Bounds(c, width, height, topLeft);
      if (box.left < inside.left || box.right > inside.right || box.bottom < inside.bottom || box.top > inside.top)
        continue;
      if (std::any_of(taken.begin(), taken.end(), [&](const Box& other) { return other.Overlaps(box); })) continue;
      taken.push_back(box);
      placed.push_back({texts[k],
                        {static_cast<int>(std::lround(topLeft.x)), static_cast<int>(std::lround(topLeft.y))},
                        static_cast<int>(std::lround(c.angle * 1800.0 / kPi))});
      next = at + spacing;
    }
  }
  return placed;
}

void DrawContourLabels(DrawingContext& dc, Document& doc) {
  GridModel& g = *doc.grid;
  if (g.contourLabels != 1) return;
  const MapContourLevels levels = CurrentContourLevels(doc);
  ContourRequest request;
  request.layer = doc.layerIndex;
  request.levels = levels.levels;
  request.logValues = levels.logValues;
  request.hidden = HiddenNodes(g).Mask();
  const std::vector<ContourLine> traced = TraceContours(g, request);

  const int left = doc.marginLeft, top = doc.marginTop;
  const int W = TruncToLogical((g.xEnd - g.xStart) * g.scaleX);
  const int H = TruncToLogical((g.yEnd - g.yStart) * g.scaleY);
  std::vector<std::vector<PlanePoint>> lines;
  std::vector<std::string> texts;
  lines.reserve(traced.size());
  for (const ContourLine& line : traced) {
    std::vector<PlanePoint> logical;
    logical.reserve(line.points.size());
    for (const PlanePoint& p : line.points)
      logical.push_back({left + (p.x - g.xStart) * g.scaleX, -(top + (g.yEnd - p.y) * g.scaleY)});
    lines.push_back(std::move(logical));
    texts.push_back(ContourLabelText(line.level));
  }
  const std::vector<PlacedLabel> labels =
      PlaceContourLabels(lines, texts, {left, -top, left + W, -(top + H)}, kLabelHeight, kLabelSpacing);
  const Color previousColor = dc.SetTextColor(Rgb(0, 0, 0));
  const int previousMode = dc.SetBkMode(kOpaque);
  for (const PlacedLabel& label : labels) {
    const Font previous = dc.SelectFont(MapFont(kLabelHeight, label.escapement));
    dc.TextOut(label.topLeft.x, label.topLeft.y, label.text);
    dc.SelectFont(previous);
  }
  dc.SetBkMode(previousMode);
  dc.SetTextColor(previousColor);
}

}  // namespace gridora

#include "view/map_frame.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/diagnostic_file.h"
#include "render/color_scale.h"
#include "render/drawing_parameter.h"
#include "render/legend_layout.h"
#include "render/logical_units.h"
#include "render/map_text.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kNoLevelGrey = Rgb(100, 100, 100);
// Characters of a point's label the map shows.
constexpr int kLongestPointLabel = 40;

void Line(DrawingContext& dc, const Pen& pen, int x1, int y1, int x2, int y2) {
  const Pen previous = dc.SelectPen(pen);
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
  dc.SelectPen(previous);
}

void Text(DrawingContext& dc, int x, int y, const std::string& text, int height, int escapement = 0) {
  const Font previous = dc.SelectFont(MapFont(height, escapement));
  dc.TextOut(x, y, text);
  dc.SelectFont(previous);
}

// The first `count` characters of UTF-8 text (never a broken character).
std::string FirstCharacters(const std::string& text, int count) {
  std::size_t end = 0;
  for (int taken = 0; end < text.size() && taken < count; ++taken) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

// The text label of tick `tick` when the axis carries labels: the label of node
// trunc(tick * interval), empty past the last node or the end of the labels.
const std::string* TickLabel(const std::vector<std::string>& labels, int nodeCount, int tick, float interval) {
  static const std::string kEmpty;
  const double k = std::trunc(static_cast<double>(static_cast<float>(tick) * interval));
  if (!(k >= 0) || k >= nodeCount || k >= static_cast<double>(labels.size())) return &kEmpty;
  return &labels[static_cast<std::size_t>(k)];
}

int TickLimit(int count) { return std::min(count, kMaximumTicks); }

}  // namespace

int NiceTicks(float start, float& end, float& interval) {
  static constexpr float kSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
  const float c = (end - start) / 10.0f;
  interval = 2000.0f;
  for (float step : kSteps) {
    if (step > c) {
      interval = step;
      break;
    }
  }
  const float whole = (end - start) / interval;
  // A span that is not a number, or one of more than a billion ticks, is cut short
  // rather than overflowing the count.
  const int e = std::isnan(whole) ? 0 : static_cast<int>(std::clamp(whole, -1.0e9f, 1.0e9f));
  const float rounded = static_cast<float>(e) * interval + start;
  if (end > rounded) {
    end = static_cast<float>(e + 1) * interval + start;
    return e + 2;
  }
  end = rounded;
  return e + 1;
}

bool WindowAndTicks(Document& doc) {
  GridModel& g = *doc.grid;
  if (g.NX > 1 && g.NY > 1) {
    g.xStart = g.x0;
    g.xEnd = static_cast<float>(g.NX - 1) * g.DX + g.x0;
    g.yStart = g.y0;
    g.yEnd = static_cast<float>(g.NY - 1) * g.DY + g.y0;
  } else if (doc.primaryData && doc.primaryData->count > 0) {
    const RandomData& p = *doc.primaryData;
    g.xStart = p.xMinimum;
    g.xEnd = p.xMaximum;
    g.yStart = p.yMinimum;
    g.yEnd = p.yMaximum;
    if (doc.secondaryData && doc.secondaryData->count > 0) {
      const RandomData& s = *doc.secondaryData;
      g.xStart = std::min(g.xStart, static_cast<float>(s.xMinimum));
      g.xEnd = std::max(g.xEnd, static_cast<float>(s.xMaximum));
      g.yStart = std::min(g.yStart, static_cast<float>(s.yMinimum));
      g.yEnd = std::max(g.yEnd, static_cast<float>(s.yMaximum));
    }
  } else {
    return false;
  }
  g.xTickCount = NiceTicks(g.xStart, g.xEnd, g.xInterval);
  g.yTickCount = NiceTicks(g.yStart, g.yEnd, g.yInterval);
  return true;
}

void DrawFrameAndAxes(DrawingContext& dc, Document& doc, float scaleX, float scaleY, int& mapWidth, int& mapHeight,
                      bool scaleText) {
  const GridModel& g = *doc.grid;
  const int left = doc.marginLeft, top = doc.marginTop;
  const int W = TruncToLogical((g.xEnd - g.xStart) * scaleX);
  const int H = TruncToLogical((g.yEnd - g.yStart) * scaleY);

  const Pen previous = dc.SelectPen(Pen{PenStyle::Solid, 10, kBlack});
  dc.MoveTo(left, -top);
  dc.LineTo(left + W, -top);
  dc.LineTo(left + W, -(top + H));
  dc.LineTo(left, -(top + H));
  dc.LineTo(left, -top);
  dc.SelectPen(previous);

  mapWidth = std::max(mapWidth, W);
  mapHeight = std::max(mapHeight, H);

  const Pen gridPen{PenStyle::Solid, 2, kBlack};
  const bool xTextLabels = g.xLabelsOn == 1 && !g.xLabels.empty();
  for (int i = 0; i < TickLimit(g.xTickCount); ++i) {
    const int xi = TruncToLogical(static_cast<float>(i) * g.xInterval * scaleX);
    Line(dc, gridPen, left + xi, -top, left + xi, -(top + H));
    const std::string label = xTextLabels ? *TickLabel(g.xLabels, g.NX, i, g.xInterval)
                                          : fmt::sprintf("%.1f", static_cast<float>(i) * g.xInterval + g.xStart);
    Text(dc, left + xi - 50, -50 - top - H, label, 35);
  }
  Text(dc, left - 50 + W / 2, -100 - top - H, g.xTitle, 40);

  const bool yTextLabels = g.yLabelsOn == 1 && !g.yLabels.empty();
  for (int j = 0; j < TickLimit(g.yTickCount); ++j) {
    const int yj = TruncToLogical(static_cast<float>(j) * g.yInterval * scaleY) - top - H;
    Line(dc, gridPen, left, yj, left + W, yj);
    const std::string label = yTextLabels ? FirstCharacters(*TickLabel(g.yLabels, g.NY, j, g.yInterval), 6)
                                          : fmt::sprintf("%.1f", static_cast<float>(j) * g.yInterval + g.yStart);
    Text(dc, left - 100, yj + 25, label, 35);
  }
  // Rotated a quarter turn clockwise, reading downward.
  Text(dc, left - 150, -top - H / 2, g.yTitle, 35, -900);
  if (scaleText)
    Text(dc, left + W - 500, -150 - top - H, fmt::sprintf("X Scale=%.1f Y Scale =%.1f", scaleX, scaleY), 35);
}

void DrawDataMarkers(DrawingContext& dc, Document& doc, float scaleX, float scaleY) {
  const RandomData* points = doc.variableSelection == 1 ? doc.secondaryData.get() : doc.primaryData.get();
  if (!points) return;
  const GridModel& g = *doc.grid;
  const ColorScale& scale = *doc.colorScale;
  const bool noLevels = g.contourLevels.count < 1;
  const int left = doc.marginLeft, top = doc.marginTop;
  DiagnosticFile log("ShowRandomData.txt");
  const Pen pen{PenStyle::Solid, 3, kBlack};
  const int count = std::clamp(points->count, 0, RandomData::kCapacity);
  for (int i = 0; i < count; ++i) {
    const DataPoint& p = points->points[static_cast<std::size_t>(i)];
    const float dx = static_cast<float>(p.x - g.xStart);
    const float dy = static_cast<float>((g.yEnd - g.yStart) - (p.y - g.yStart));
    const int px = TruncToLogical(dx * scaleX);
    const int py = TruncToLogical(dy * scaleY);
    const Color color = noLevels ? kNoLevelGrey : scale.LookupColor(static_cast<float>(p.z));
    const Pen previousPen = dc.SelectPen(pen);
    const Brush previousBrush = dc.SelectBrush(Brush{false, color});
    dc.Ellipse({left + px - 10, -10 - top - py, left + px + 10, 10 - top - py});
    dc.SelectBrush(previousBrush);
    dc.SelectPen(previousPen);
    log.Printf("X: %f %f %f Y: %f %f %f \n", p.x, g.xStart, dx, p.y, g.yStart, dy);
  }
  if (doc.showPointLabels == 0 || !points->HasLabels()) return;
  // After every marker, so no marker covers a name.
  const Color previousColor = dc.SetTextColor(kBlack);
  for (int i = 0; i < count; ++i) {
    const std::string& label = points->LabelOf(i);
    if (label.empty()) continue;
    const DataPoint& p = points->points[static_cast<std::size_t>(i)];
    const int px = TruncToLogical(static_cast<float>(p.x - g.xStart) * scaleX);
    const int py = TruncToLogical(static_cast<float>((g.yEnd - g.yStart) - (p.y - g.yStart)) * scaleY);
    Text(dc, left + px + 14, 17 - top - py, FirstCharacters(label, kLongestPointLabel), 35);
  }
  dc.SetTextColor(previousColor);
}

int DrawLegend(DrawingContext& dc, Document& doc, int mapWidth, int mapHeight, int layerIndex,
               const LogicalRect* view) {
  (void)layerIndex;  // one record of levels, shared by every layer
  const ContourLevels& record = doc.grid->contourLevels;
  const ColorScale& scale = *doc.colorScale;
  const int left = doc.marginLeft, top = doc.marginTop;
  DiagnosticFile log("Legend.txt");

  LegendInput input;
  const int boxes = scale.levelCount - 1;
  for (int i = 0; i < boxes; ++i)
    input.labels.push_back(fmt::sprintf("%.2f", scale.levels[static_cast<std::size_t>(i) + 1]));
  // A record read from a file may hold no level; its boxes then take the whole height.
  input.rows = std::max(record.count, 1);
  input.title = doc.mapParameter->style.legendTitle;
  input.units = doc.mapParameter->style.legendUnits;
  input.left = mapWidth + left + 70;
  input.bottom = -top - mapHeight;
  input.height = mapHeight;
  if (view) {
    input.hasView = true;
    input.viewLeft = std::min(view->left, view->right);
    input.viewRight = std::max(view->left, view->right);
    input.viewBottom = std::min(view->top, view->bottom);
    input.viewTop = std::max(view->top, view->bottom);
  }
  const LegendLayout layout = LayOutLegend(input);
  doc.mapParameter->legendFollowsView = layout.fitted || layout.panel;

  if (layout.panel) {
    const Pen previousPen = dc.SelectPen(Pen{PenStyle::Solid, 2, kBlack});
    const Brush previousBrush = dc.SelectBrush(Brush{false, Rgb(255, 255, 255)});
    dc.Rectangle(layout.panelRect);
    dc.SelectBrush(previousBrush);
    dc.SelectPen(previousPen);
  }
  for (int i = 0; i < boxes; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const float value = static_cast<float>(static_cast<double>(scale.levels[k]) + 0.000001);
    const ColorLookup look = scale.Lookup(value);
    const LogicalRect& box = layout.boxes[k];
    const float recordLevel = k < record.levels.size() ? record.levels[k] : 0.0f;
    log.Printf("%d/%d : %f %f : %d : %d %d %d : %d %d %d %d\n", i, record.count, recordLevel, value, look.band,
               look.red, look.green, look.blue, box.left, box.right, box.top, box.bottom);
    const Brush previousBrush = dc.SelectBrush(Brush{false, look.color()});
    dc.Rectangle(box);
    dc.SelectBrush(previousBrush);
    const LegendText& label = layout.labels[k];
    if (!label.text.empty()) Text(dc, label.x, label.y, label.text, label.height);
  }
  for (const LegendText& title : layout.titles) Text(dc, title.x, title.y, title.text, title.height);
  // A legend moved over the map still leaves the copy's frame around the whole map.
  return std::max(layout.right, mapWidth + left + 100);
}

}  // namespace gridora

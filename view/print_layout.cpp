#include "view/print_layout.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "render/drawing_parameter.h"
#include "render/legend_layout.h"
#include "render/logical_units.h"
#include "render/map_text.h"
#include "render/page_layout.h"
#include "view/contour_map.h"
#include "view/document.h"
#include "view/map_frame.h"

namespace gridora {
namespace {

constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

void Text(DrawingContext& dc, int x, int y, const std::string& text, int height) {
  const Font previous = dc.SelectFont(MapFont(height));
  dc.TextOut(x, y, text);
  dc.SelectFont(previous);
}

// What the layout's drawing changes in the document, put back when it ends.
class SavedView {
 public:
  explicit SavedView(Document& doc)
      : doc_(doc),
        scaleX_(doc.grid->scaleX),
        scaleY_(doc.grid->scaleY),
        scaleFitted_(doc.scaleFitted),
        scaleFromFile_(doc.scaleFromFile),
        marginLeft_(doc.marginLeft),
        marginTop_(doc.marginTop),
        legendRight_(doc.legendRight),
        mapBottom_(doc.mapBottom),
        marginBottom_(doc.mapParameter->marginBottom),
        areaFraction_(doc.mapParameter->areaFraction) {}
  ~SavedView() {
    doc_.grid->scaleX = scaleX_;
    doc_.grid->scaleY = scaleY_;
    doc_.scaleFitted = scaleFitted_;
    doc_.scaleFromFile = scaleFromFile_;
    doc_.marginLeft = marginLeft_;
    doc_.marginTop = marginTop_;
    doc_.legendRight = legendRight_;
    doc_.mapBottom = mapBottom_;
    doc_.mapParameter->marginBottom = marginBottom_;
    doc_.mapParameter->areaFraction = areaFraction_;
  }
  SavedView(const SavedView&) = delete;
  SavedView& operator=(const SavedView&) = delete;

 private:
  Document& doc_;
  float scaleX_, scaleY_;
  int scaleFitted_, scaleFromFile_, marginLeft_, marginTop_, legendRight_, mapBottom_, marginBottom_;
  float areaFraction_;
};

// The title over the map's middle, on one line between the page's left edge and the
// north arrow (cut short with "..." when longer).
void DrawTitle(DrawingContext& dc, const PageRooms& rooms, int centre, int right, const std::string& title) {
  const int left = -rooms.titleTop;  // the page's edge room
  const int room = std::max(right - left, 1);
  const std::vector<std::string> lines = WrapText(title, rooms.titleHeight, room, 1);
  if (lines.empty()) return;
  const int textWidth = EstimatedTextWidth(lines.front(), rooms.titleHeight);
  const int x = std::clamp(centre - textWidth / 2, left, std::max(right - textWidth, left));
  Text(dc, x, rooms.titleTop, lines.front(), rooms.titleHeight);
}

// A bar of four segments, black and white in turn, under the map's lower-left corner,
// labelled 0, half and the whole length in map units.
void DrawScaleBar(DrawingContext& dc, int left, int top, int mapWidth, float scaleX) {
  if (!(scaleX > 0.0f) || mapWidth <= 0) return;
  const double length = ScaleBarLength(0.4 * mapWidth / scaleX);
  const int bar = TruncToLogical(length * scaleX);
  if (length <= 0.0 || bar < 4) return;
  constexpr int kBarHeight = 30;
  const Pen previousPen = dc.SelectPen(Pen{PenStyle::Solid, 4, kBlack});
  for (int s = 0; s < 4; ++s) {
    const Brush previousBrush = dc.SelectBrush(Brush{false, s % 2 == 0 ? kBlack : kWhite});
    dc.Rectangle({left + bar * s / 4, top - kBarHeight, left + bar * (s + 1) / 4, top});
    dc.SelectBrush(previousBrush);
  }
  dc.SelectPen(previousPen);
  const int labelTop = top - kBarHeight - 10;
  Text(dc, left - 10, labelTop, "0", 30);
  const std::string half = fmt::format("{:g}", length / 2.0);
  const std::string whole = fmt::format("{:g} (map units)", length);
  Text(dc, left + bar / 2 - EstimatedTextWidth(half, 30) / 2, labelTop, half, 30);
  Text(dc, left + bar - 10, labelTop, whole, 30);
}

void DrawNorthArrow(DrawingContext& dc, int x, int top, int height) {
  const NorthArrow arrow = NorthArrowAt(x, top, height);
  const Pen previousPen = dc.SelectPen(Pen{PenStyle::Solid, 4, kBlack});
  Brush previousBrush = dc.SelectBrush(Brush{false, kBlack});
  dc.Polygon(arrow.filledHalf.data(), static_cast<int>(arrow.filledHalf.size()));
  dc.SelectBrush(Brush{false, kWhite});
  dc.Polygon(arrow.openHalf.data(), static_cast<int>(arrow.openHalf.size()));
  dc.SelectBrush(previousBrush);
  dc.SelectPen(previousPen);
  Text(dc, arrow.letter.x, arrow.letter.y, "N", arrow.letterHeight);
}

}  // namespace

std::string LayoutTitle(const Document& doc) {
  if (!doc.mapParameter->style.layoutTitle.empty()) return doc.mapParameter->style.layoutTitle;
  if (!doc.pathName.empty()) {
    const std::string stem = std::filesystem::path(doc.pathName).stem().string();
    if (!stem.empty()) return stem;
  }
  return "Untitled";
}

void DrawPrintLayout(DrawingContext& dc, Document& doc, int width, int height, const std::string& title) {
  const PageRooms rooms = LayOutPage(width, height);
  GridModel& g = *doc.grid;
  const int points = doc.primaryData ? doc.primaryData->count : 0;
  const bool hasMap = (g.NX > 1 && g.NY > 1) || points >= 1;
  const int pageWidth = std::abs(rooms.page.right - rooms.page.left);
  // The north arrow in the page's top right corner (the grid's +Y points north).
  const int arrowHeight = std::clamp(rooms.marginTop - 60, 1, 240);
  const int arrowX = pageWidth + rooms.titleTop - arrowHeight / 4 - 20;
  int centre = pageWidth / 2;
  if (hasMap) {
    SavedView saved(doc);
    doc.marginLeft = rooms.marginLeft;
    doc.marginTop = rooms.marginTop;
    doc.mapParameter->marginBottom = rooms.marginBottom;
    doc.mapParameter->areaFraction = 1.0f;
    doc.scaleFitted = 0;
    doc.scaleFromFile = 0;
    // Fit first, so that a map narrower than its room can be centred in it; the map's
    // drawing then keeps the fitted scale.
    if (g.axisFixed == 0) WindowAndTicks(doc);
    FitMapScale(doc, rooms.mapFit);
    const int mapWidth = TruncToLogical((g.xEnd - g.xStart) * g.scaleX);
    const int mapHeight = TruncToLogical((g.yEnd - g.yStart) * g.scaleY);
    const int spare = std::abs(rooms.mapFit.right - rooms.mapFit.left) - rooms.marginLeft - mapWidth;
    if (spare > 0) doc.marginLeft += spare / 2;
    MapDrawOptions options;
    options.scaleText = false;
    options.legendView = &rooms.legend;
    DrawMap(dc, doc, rooms.mapFit, options);

    centre = doc.marginLeft + mapWidth / 2;
    // Under the tick labels and the axis title (they reach 140 below the frame).
    DrawScaleBar(dc, doc.marginLeft, -(rooms.marginTop + mapHeight + 200), mapWidth, g.scaleX);
  }
  DrawNorthArrow(dc, arrowX, -(rooms.marginTop - arrowHeight - 30), arrowHeight);
  DrawTitle(dc, rooms, centre, arrowX - arrowHeight / 4 - 60, title);
}

}  // namespace gridora

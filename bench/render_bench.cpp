// Map drawing speed: a paint of the cached pixel map and its rebuild for a 1000 x 1000
// grid, and a paint in band modes for a 200 x 200 grid. The drawing goes to a context
// that keeps its selections and draws nothing, so the figures are the map's own cost;
// the diagnostic files are written as in every drawing, into a temporary folder.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <utility>

#include "hill_surface.h"
#include "platform/profile.h"
#include "view/contour_map.h"
#include "view/document.h"

namespace gridora {
namespace {

class NullContext : public DrawingContext {
 public:
  Pen SelectPen(const Pen& pen) override { return std::exchange(pen_, pen); }
  Brush SelectBrush(const Brush& brush) override { return std::exchange(brush_, brush); }
  Font SelectFont(const Font& font) override { return std::exchange(font_, font); }
  Pen SelectStockPen(int index) override {
    Pen pen;
    if (index == kNullPen) pen.style = PenStyle::Null;
    return SelectPen(pen);
  }
  LogicalPoint MoveTo(int x, int y) override { return std::exchange(position_, LogicalPoint{x, y}); }
  void LineTo(int x, int y) override { position_ = {x, y}; }
  void Polyline(const LogicalPoint* points, int count) override { Touch(points, count); }
  void Polygon(const LogicalPoint* points, int count) override { Touch(points, count); }
  int SetPolyFillMode(int mode) override { return std::exchange(fillMode_, mode); }
  void Rectangle(const LogicalRect&) override {}
  void Ellipse(const LogicalRect&) override {}
  void FillRect(const LogicalRect&, const Brush*) override {}
  void TextOut(int, int, const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
  Color SetTextColor(Color color) override { return std::exchange(textColor_, color); }
  int SetBkMode(int mode) override { return std::exchange(backgroundMode_, mode); }
  void StretchPixelMap(const LogicalRect&, const PixelMap& source) override {
    benchmark::DoNotOptimize(source.pixels.data());
  }
  LogicalRect DeviceToLogical(const LogicalRect& r) override { return r; }

  long long vertices = 0;

 private:
  void Touch(const LogicalPoint* points, int count) {
    vertices += count;
    benchmark::DoNotOptimize(points);
  }
  Pen pen_;
  Brush brush_;
  Font font_;
  LogicalPoint position_;
  int fillMode_ = kAlternate, backgroundMode_ = kOpaque;
  Color textColor_ = 0;
};

struct BenchDocument {
  MemoryProfile profile;
  Document doc{profile};
  NullContext dc;
  static constexpr LogicalRect kLayout{0, 0, 4000, -3000};

  explicit BenchDocument(int n, int mode) {
    static const bool inTemp = [] {
      const auto folder = std::filesystem::temp_directory_path() / "gridora-render-bench";
      std::filesystem::create_directories(folder);
      std::filesystem::current_path(folder);
      return true;
    }();
    (void)inTemp;
    bench::FillHillSurface(*doc.grid, n);
    doc.grid->mapColorMode = mode;
    DrawMap(dc, doc, kLayout);  // fits the scale and fills the cache
  }
};

void BM_PixelMapPaintFromCache(benchmark::State& state) {
  BenchDocument b(static_cast<int>(state.range(0)), 0);
  for (auto _ : state) DrawMap(b.dc, b.doc, BenchDocument::kLayout);
  state.SetItemsProcessed(state.iterations() * b.doc.grid->NodeCount());
}
BENCHMARK(BM_PixelMapPaintFromCache)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_PixelMapRebuild(benchmark::State& state) {
  BenchDocument b(static_cast<int>(state.range(0)), 0);
  b.doc.grid->hideFarNodes = static_cast<int>(state.range(1));
  b.doc.grid->maxDistance = 2.0f;
  for (auto _ : state) {
    b.doc.mapBitmapDirty = 1;
    DrawMap(b.dc, b.doc, BenchDocument::kLayout);
  }
  state.SetItemsProcessed(state.iterations() * b.doc.grid->NodeCount());
}
BENCHMARK(BM_PixelMapRebuild)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond);

void BM_BandPaint(benchmark::State& state) {
  BenchDocument b(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) DrawMap(b.dc, b.doc, BenchDocument::kLayout);
  state.counters["vertices"] = static_cast<double>(b.dc.vertices) / static_cast<double>(state.iterations() + 1);
}
BENCHMARK(BM_BandPaint)->Args({200, 1})->Args({200, 2})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gridora

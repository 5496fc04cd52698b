// Band-mode repaint of a 1000 x 1000 grid in the window's way: the whole view painted
// through the painter into a 1024 x 768 image, as the view does after a colour change
// (the bands traced anew) and after an expose or scroll of an unchanged document (the
// traced bands kept). The diagnostic files go to a temporary folder.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>

#include "hill_surface.h"
#include "painter_context.h"
#include "platform/profile.h"
#include "render/cell_renderer.h"
#include "render/color_scale.h"
#include "render/traced_bands.h"
#include "view/document.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "band_paint_window_bench";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return app;
}

struct Screen {
  MemoryProfile profile;
  Document doc{profile};
  QImage image{1024, 768, QImage::Format_RGB32};
  static constexpr double kPixelsPerUnit = 96.0 / 254.0;

  Screen(int n, int mode) {
    App();
    static const bool inTemp = [] {
      const auto folder = std::filesystem::temp_directory_path() / "gridora-band-bench";
      std::filesystem::create_directories(folder);
      std::filesystem::current_path(folder);
      return true;
    }();
    (void)inTemp;
    bench::FillHillSurface(*doc.grid, n);
    doc.grid->mapColorMode = mode;
  }
  void Paint() {
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterContext dc(painter, kPixelsPerUnit, kPixelsPerUnit);
    PaintView(dc, doc, {0, 0, image.width(), image.height()});
  }
};

// A colour change: the levels move, so the bands are traced again.
void BM_BandRepaintAfterColorChange(benchmark::State& state) {
  Screen s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  s.Paint();
  bool reversed = false;
  for (auto _ : state) {
    reversed = !reversed;
    s.doc.grid->reverseColors = reversed ? 1 : 0;
    s.Paint();
  }
}
BENCHMARK(BM_BandRepaintAfterColorChange)
    ->Args({1000, 1})
    ->Args({1000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same document painted again (an expose, a scroll): the traced bands are kept.
void BM_BandRepaintUnchanged(benchmark::State& state) {
  Screen s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  s.Paint();
  for (auto _ : state) s.Paint();
}
BENCHMARK(BM_BandRepaintUnchanged)->Args({1000, 1})->Args({1000, 2})->Unit(benchmark::kMillisecond)->UseRealTime();

// Tracing alone, on one core and on all of them.
void BM_TraceBands(benchmark::State& state) {
  Screen s(static_cast<int>(state.range(0)), 1);
  s.Paint();  // fits the scale and the levels
  const GridModel& g = *s.doc.grid;
  std::vector<int> xs(static_cast<std::size_t>(g.NX)), ys(static_cast<std::size_t>(g.NY));
  for (int i = 0; i < g.NX; ++i) xs[static_cast<std::size_t>(i)] = 200 + i * 7 / 2;
  for (int i = 0; i < g.NY; ++i) ys[static_cast<std::size_t>(i)] = -(150 + (g.NY - 1 - i) * 7 / 2);
  std::size_t shapes = 0;
  for (auto _ : state) {
    const TracedBands bands = TraceBands(g, 0, xs, ys, *s.doc.cellRenderer, static_cast<unsigned>(state.range(1)));
    shapes = bands.shapes.size();
  }
  state.counters["shapes"] = static_cast<double>(shapes);
}
BENCHMARK(BM_TraceBands)->Args({1000, 1})->Args({1000, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace gridora

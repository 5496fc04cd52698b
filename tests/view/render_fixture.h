#pragma once
// Small grids built directly for the drawing tests, and a current directory of their
// own for the diagnostic files the drawing writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <vector>

#include "platform/profile.h"
#include "render/recording_context.h"
#include "support/current_folder.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora::test {

// Column by column: values[ix] holds the NY values of node column ix.
inline void FillGrid(Document& doc, const std::vector<std::vector<float>>& columns, float x0 = 0.0f, float y0 = 0.0f,
                     float dx = 1.0f, float dy = 1.0f) {
  GridModel& g = *doc.grid;
  const int nx = static_cast<int>(columns.size());
  const int ny = static_cast<int>(columns.front().size());
  ASSERT_TRUE(g.Reshape(1, nx, ny));
  g.x0 = x0;
  g.y0 = y0;
  g.DX = dx;
  g.DY = dy;
  float low = 1e10f, high = -1e10f;
  for (int ix = 0; ix < nx; ++ix)
    for (int iy = 0; iy < ny; ++iy) {
      const float v = columns[static_cast<std::size_t>(ix)][static_cast<std::size_t>(iy)];
      g.Value(0, ix, iy) = v;
      low = std::min(low, v);
      high = std::max(high, v);
    }
  g.layerMinimum[0] = low;
  g.layerMaximum[0] = high;
}

inline void AddPoint(RandomData& data, double x, double y, double z) {
  if (data.count == 0) data.StartRanges();
  data.points[static_cast<std::size_t>(data.count)] = {x, y, z};
  data.ExtendRanges(data.points[static_cast<std::size_t>(data.count)]);
  ++data.count;
}

// A document with the full command table, drawing in its own folder.
struct MapFixture {
  InTempFolder here;
  DocumentFixture f;
  Document& doc = *f.doc;
  GridModel& grid() { return *doc.grid; }
};

inline std::vector<int> Args(std::initializer_list<int> values) { return std::vector<int>(values); }

}  // namespace gridora::test

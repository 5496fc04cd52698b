#pragma once
// Shared by the gridder tests: small point sets, a grid to write into, a Feedback that
// cancels, and the comparison of a grid with an oracle's node by node.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "document/node_layout.h"
#include "document/random_data.h"
#include "gridders/gridder_result.h"
#include "platform/feedback.h"

namespace gridora::test {

// n points spread over [x0, x0 + width] x [y0, y0 + height], values from a bumpy
// surface.
inline std::vector<DataPoint> RandomPoints(int n, unsigned seed, double x0 = 0.0, double y0 = 0.0, double width = 10.0,
                                           double height = 8.0) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::vector<DataPoint> points;
  for (int i = 0; i < n; ++i) {
    const double x = x0 + width * u(random), y = y0 + height * u(random);
    points.push_back({x, y, 3.0 + std::sin(x) * std::cos(0.7 * y) + 0.2 * x});
  }
  return points;
}

struct Grid {
  explicit Grid(const NodeLayout& layout)
      : layout(layout), values(layout.NodeCount(), -7.0f), empty(layout.NodeCount(), 7) {}
  NodeLayout layout;
  std::vector<float> values;
  std::vector<std::uint8_t> empty;
};

// An oracle's answer at a node: a value, or nothing for an empty node.
using NodeOracle = std::optional<double>;

// Every node against the oracle: empty exactly where the oracle has nothing (value 0
// there), else within a relative tolerance of the oracle's value as a float; the result counts the empty nodes.
template <class Oracle>
void ExpectGridMatches(const Grid& grid, const GridderResult& result, const Oracle& oracle, double tolerance = 2e-6) {
  ASSERT_EQ(result.status, GridderResult::Status::Done) << result.problem;
  std::size_t emptyNodes = 0;
  for (int ix = 0; ix < grid.layout.nx; ++ix)
    for (int iy = 0; iy < grid.layout.ny; ++iy) {
      const std::size_t k = grid.layout.Index(ix, iy);
      const NodeOracle expected = oracle(grid.layout.X(ix), grid.layout.Y(iy));
      if (!expected) {
        ++emptyNodes;
        EXPECT_EQ(grid.empty[k], 1) << "node " << ix << ", " << iy;
        EXPECT_EQ(grid.values[k], 0.0f) << "node " << ix << ", " << iy;
      } else {
        EXPECT_EQ(grid.empty[k], 0) << "node " << ix << ", " << iy;
        const float stored = static_cast<float>(*expected);
        EXPECT_NEAR(grid.values[k], stored, tolerance * std::max(1.0, std::fabs(*expected)))
            << "node " << ix << ", " << iy;
      }
    }
  EXPECT_EQ(result.emptyNodes, emptyNodes);
}

// Says "cancel" from the given poll on (0: at once).
class CancelAtPoll : public Feedback {
 public:
  explicit CancelAtPoll(int poll) : remaining_(poll) {}
  void SetProgress(double fraction) override { lastProgress = fraction; }
  bool IsCanceled() const override { return remaining_-- <= 0; }
  double lastProgress = -1.0;

 private:
  mutable int remaining_;
};

}  // namespace gridora::test

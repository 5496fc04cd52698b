// The document file's exact values: coordinates, origin and spacing that single
// precision cannot hold come back exactly from a save, while the single-precision
// fields (all that older readers see) stay where and what they were.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

#include "formats/snp_file.h"
#include "support/test_support.h"

namespace gridora {
namespace {

struct Layout {
  double x0, y0, dx, dy;
};

struct Document {
  GridModel grid;
  std::unique_ptr<RandomData> points = CreateRandomData();
};

void Fill(Document& d, const Layout& layout, const std::vector<DataPoint>& points) {
  ASSERT_TRUE(d.grid.Reshape(1, 3, 2));
  for (std::size_t i = 0; i < d.grid.values.size(); ++i) d.grid.values[i] = 0.25f * static_cast<float>(i);
  d.grid.x0 = layout.x0;
  d.grid.y0 = layout.y0;
  d.grid.DX = layout.dx;
  d.grid.DY = layout.dy;
  d.points->count = static_cast<int>(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) d.points->points[i] = points[i];
}

std::string Written(const Document& d, const std::string& trailer = {}) {
  std::ostringstream out;
  EXPECT_TRUE(WriteSnp(d.grid, out, *d.points, trailer));
  return out.str();
}

bool ReadInto(const std::string& bytes, Document& d) {
  std::istringstream in(bytes);
  SnpReadResult result;
  std::string problem;
  return ReadSnp(d.grid, in, *d.points, "test.snp", result, problem);
}

double Rounded(double value) { return static_cast<double>(static_cast<float>(value)); }

// Bit for bit, so that -0.0 and 0.0 differ.
void ExpectSame(double actual, double expected) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected)) << actual << " " << expected;
}

void ExpectValues(const Document& d, const Layout& layout, const std::vector<DataPoint>& points, bool exact) {
  auto value = [exact](double v) { return exact ? v : Rounded(v); };
  ExpectSame(d.grid.x0, value(layout.x0));
  ExpectSame(d.grid.y0, value(layout.y0));
  ExpectSame(d.grid.DX, value(layout.dx));
  ExpectSame(d.grid.DY, value(layout.dy));
  ASSERT_EQ(d.points->count, static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i) {
    ExpectSame(d.points->points[i].x, value(points[i].x));
    ExpectSame(d.points->points[i].y, value(points[i].y));
    ExpectSame(d.points->points[i].z, value(points[i].z));
  }
}

// Projected coordinates with two decimals (eastings 350000-360000 m, northings
// 4100000-4110000 m): not one of them has a single-precision value.
const Layout kProjected{353238.3, 4100033.1, 0.1, 0.25};
const std::vector<DataPoint> kProjectedPoints{
    {353238.3, 4100033.1, 12.34}, {359999.99, 4109999.99, -0.01}, {350000.01, 4105000.57, 1e-7}};

TEST(SnpExactValues, CoordinatesComeBackExactlyAndOlderReadersSeeTheRoundedOnes) {
  struct Case {
    const char* what;
    Layout layout;
    std::vector<DataPoint> points;
    std::string trailer;
    bool emptyNodes;
    bool exactPart;  // whether the file needs the part at all
  } cases[] = {
      {"projected coordinates, two decimals", kProjected, kProjectedPoints, "", false, true},
      {"after the options' text and the empty nodes", kProjected, kProjectedPoints, "model=spherical", true, true},
      {"only the origin is not a float", {4100033.1, -0.0, 2.0, 0.5}, {{1, 2, 3}}, "", false, true},
      {"no points", {0.1, 1e-7, 1e15, 3.0}, {}, "", false, true},
      {"every value a float: the file as it always was", {-10, 20, 2.5, 0.75}, {{1.5, -2, 1e6}}, "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Document source;
    Fill(source, c.layout, c.points);
    if (c.emptyNodes) {
      source.grid.emptyNodes.assign(source.grid.NodeCount(), 0);
      source.grid.emptyNodes[4] = 1;
    }
    const std::string bytes = Written(source, c.trailer);
    const std::string older = test::WithoutExactPart(bytes);
    EXPECT_EQ(bytes.size(), older.size() + (c.exactPart ? 8 + 32 + 24 * c.points.size() : 0));

    Document back;
    ASSERT_TRUE(ReadInto(bytes, back));
    ExpectValues(back, c.layout, c.points, true);
    EXPECT_EQ(back.grid.values, source.grid.values);
    EXPECT_EQ(back.grid.emptyNodes, source.grid.emptyNodes);
    // Saved again, byte for byte the same.
    EXPECT_EQ(Written(back, c.trailer), bytes);

    // The file without its exact part is what the single-precision layout alone holds:
    // read as older files are, everything rounded, the other parts intact.
    Document rounded;
    ASSERT_TRUE(ReadInto(older, rounded));
    ExpectValues(rounded, c.layout, c.points, false);
    EXPECT_EQ(rounded.grid.values, source.grid.values);
    EXPECT_EQ(rounded.grid.emptyNodes, source.grid.emptyNodes);
  }
}

// Writes `value` over the 8 bytes at `at`.
std::string WithDouble(std::string bytes, std::size_t at, double value) {
  std::memcpy(bytes.data() + at, &value, 8);
  return bytes;
}

std::string WithInt(std::string bytes, std::size_t at, std::int32_t value) {
  std::memcpy(bytes.data() + at, &value, 4);
  return bytes;
}

// A damaged exact part is left aside whole: the file reads as one without it, never
// with some values exact and others rounded.
TEST(SnpExactValues, ADamagedExactPartIsLeftAsideWhole) {
  Document source;
  Fill(source, kProjected, kProjectedPoints);
  const std::string bytes = Written(source);
  const std::size_t part = test::WithoutExactPart(bytes).size();  // where "KDBL" starts
  const std::size_t values = part + 8;
  const std::size_t lastPoint = values + 8 * (4 + 3 * (kProjectedPoints.size() - 1));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"cut after the marker", bytes.substr(0, part + 4)},
      {"cut inside the byte count", bytes.substr(0, part + 6)},
      {"cut inside the origin", bytes.substr(0, values + 12)},
      {"cut inside the last point", bytes.substr(0, bytes.size() - 1)},
      {"a byte count one point short", WithInt(bytes, part + 4, static_cast<std::int32_t>(bytes.size() - values - 24))},
      {"a negative byte count", WithInt(bytes, part + 4, -8)},
      {"a byte count beyond the file", WithInt(bytes, part + 4, std::numeric_limits<std::int32_t>::max())},
      {"an origin that is not finite", WithDouble(bytes, values, nan)},
      {"a spacing far from the stored one", WithDouble(bytes, values + 16, 0.2)},
      {"a last coordinate far from the stored one", WithDouble(bytes, lastPoint + 16, 5.0)},
      {"an infinite coordinate", WithDouble(bytes, lastPoint, std::numeric_limits<double>::infinity())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Document back;
    ASSERT_TRUE(ReadInto(c.bytes, back));
    ExpectValues(back, kProjected, kProjectedPoints, false);
    EXPECT_EQ(back.grid.values, source.grid.values);
  }
}

}  // namespace
}  // namespace gridora

#include "view/variogram_chart.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geostat/kriging_state.h"
#include "platform/profile.h"
#include "render/chart_axes.h"
#include "render/drawing_parameter.h"
#include "render/recording_context.h"
#include "view/document.h"

namespace gridora {
namespace {

std::vector<std::string> Texts(const RecordingContext& dc) {
  std::vector<std::string> texts;
  for (const auto& call : dc.CallsOf("TextOut")) texts.push_back(call.text);
  return texts;
}

TEST(ChartAxes, IntervalsFollowTheMagnitudeThenTheScale) {
  struct Case {
    float xEnd, xScale, yEnd, yScale;
    float xInterval, yInterval;
  };
  const Case cases[] = {
      {23.0f, 1500.0f / 23.0f, 1.8f, 1200.0f, 10.0f, 0.1f},  // 1 x 65 < 100: a decade coarser
      {23.0f, 200.0f, 1.8f, 500.0f, 1.0f, 1.0f},             // 0.1 x 500 < 100
      {5.0f, 20000.0f, 150.0f, 5.0f, 0.01f, 100.0f},         // 0.1 x 20000 > 1000: a decade finer
      {200000.0f, 0.01f, 0.05f, 5000.0f, 10000.0f, 0.1f},
      {0.05f, 10000.0f, 20000.0f, 0.1f, 0.01f, 1000.0f},
      {0.1f, 2.0e6f, 1.8f, 1200.0f, 0.001f, 0.1f},  // 0.1f exceeds 0.1: 0.01, then finer
  };
  for (const Case& c : cases) {
    ChartAxes axes;
    axes.xEnd = c.xEnd;
    axes.xScale = c.xScale;
    axes.yEnd = c.yEnd;
    axes.yScale = c.yScale;
    ChooseIntervals(axes);
    EXPECT_FLOAT_EQ(axes.xInterval, c.xInterval) << c.xEnd;
    EXPECT_FLOAT_EQ(axes.yInterval, c.yInterval) << c.yEnd;
  }
}

TEST(ChartAxes, TicksLabelsAndFrame) {
  MemoryProfile profile;
  profile.WriteInt("General", "iXAxisUnit", 2);
  ChartAxes axes;
  axes.xEnd = 23.0f;
  axes.xScale = 1500.0f / 23.0f;
  axes.yEnd = 1.8f;
  axes.yScale = 1200.0f;
  ChooseIntervals(axes);
  SetupTicks(axes, profile);
  EXPECT_EQ(axes.xTimeUnit, 2);
  EXPECT_EQ(axes.xTickCount, 3);
  EXPECT_EQ(axes.yTickCount, 19);
  RecordingContext dc;
  DrawingParameters parameter;
  DrawChartAxes(dc, parameter, axes);

  const auto texts = Texts(dc);
  ASSERT_EQ(texts.size(), 3u + 19u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 3), (std::vector<std::string>{"0", "10", "20"}));
  EXPECT_EQ(texts[3], "0.0");
  EXPECT_EQ(texts[21], "1.8");
  // The "10" label: tick at 150 + trunc(10 x 65.2), two characters left of it, below the frame.
  const int bottom = static_cast<int>(150 + 1.8f * 1200.0f);
  const int x10 = static_cast<int>(10.0f * axes.xScale + 150);
  EXPECT_EQ(dc.CallsOf("TextOut")[1].args, (std::vector<int>{x10 - 12, -10 - bottom}));
  // Y labels sit LabelWidth(0.1) = 75 left of the frame.
  EXPECT_EQ(dc.CallsOf("TextOut")[3].args[0], 150 - 75);
  EXPECT_EQ(dc.CurrentFont().face, "Arial");

  const auto lines = dc.CallsOf("LineTo");
  ASSERT_EQ(lines.size(), 3u + 19u + 4u);
  EXPECT_EQ(lines[0].pen, (Pen{PenStyle::Solid, 1, 0x00FF0000}));
  EXPECT_EQ(lines[0].args, (std::vector<int>{150, -150, 150, -bottom}));
  const int right = static_cast<int>(23.0f * axes.xScale + 150);
  EXPECT_EQ(lines[22].pen, (Pen{PenStyle::Solid, 5, 0}));
  EXPECT_EQ(lines[22].args, (std::vector<int>{150, -150, right, -150}));
  EXPECT_EQ(lines[25].args, (std::vector<int>{right, -150, right, -bottom}));
}

TEST(ChartAxes, XLabelsKeepAHundredUnitsApart) {
  MemoryProfile profile;
  ChartAxes axes;
  axes.xEnd = 12.0f;
  axes.xScale = 103.0f;  // interval 1: 103 units a tick
  axes.yEnd = 1.0f;
  axes.yScale = 100.0f;
  ChooseIntervals(axes);
  SetupTicks(axes, profile);
  RecordingContext dc;
  DrawChartAxes(dc, DrawingParameters{}, axes);
  std::vector<std::string> x;
  for (const auto& call : dc.CallsOf("TextOut"))
    if (call.args[1] == -10 - 250) x.push_back(call.text);  // below the frame
  // "10" would start only 97 units after "9".
  EXPECT_EQ(x, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "11", "12"}));
}

TEST(ChartAxes, LabelWidthByMagnitudeAndSign) {
  const std::pair<double, int> cases[] = {{250000, 175},  {10000, 150},    {1000, 125}, {100, 100},   {10, 75},
                                          {1, 50},        {0.1, 75},       {0.01, 100}, {0.001, 125}, {0.0001, 150},
                                          {0.00001, 175}, {0.000001, 200}, {0.0, 100},  {-5, 70}};
  for (auto [v, width] : cases) EXPECT_EQ(LabelWidth(v), width) << v;
}

TEST(VariogramChart, CloudStrideGrowsWithTheCloud) {
  const std::pair<std::size_t, int> cases[] = {{0, 1},      {10000, 1},   {10001, 2},   {100000, 2},
                                               {100001, 4}, {1000000, 4}, {1000001, 8}, {10000001, 16}};
  for (auto [count, stride] : cases) EXPECT_EQ(CloudStride(count), stride) << count;
}

class Chart : public ::testing::Test {
 protected:
  // A primary model with a three-pair cloud and two classes.
  VariogramModel& AddModel() {
    doc.krigingState = std::make_unique<KrigingState>("", 0);
    VariogramModel& m = *doc.krigingState->primary;
    m.cloudDistance = {1.0, 4.0, 10.0};
    m.cloudDissimilarity = {0.5, 2.0, 1.5};
    m.cloudCount = 3;
    m.cloudMaximumDistance = 10.0;
    m.cloudMaximumDissimilarity = 2.0;
    m.classCount = 2;
    m.classLag = {2.5, 10.0};
    m.classGamma = {1.25, 1.5};
    m.a = 3.0;
    m.c = 1.6;
    return m;
  }
  MemoryProfile profile;
  Document doc{profile};
  RecordingContext dc;
  const LogicalRect layout{0, 0, 2000, -1500};
};

TEST_F(Chart, DrawsTheCloudTheClassMeansAndTheModelCurve) {
  AddModel();
  DrawVariogramChart(dc, doc, layout);
  const double xScale = static_cast<float>((2000 - 100 - 150) / 10.0);
  const double yScale = static_cast<float>((1500 - 100 - 150) / 2.0);
  auto at = [&](double h, double g) {
    return std::pair{static_cast<int>(std::trunc(h * xScale)) + 150,
                     -(static_cast<int>(std::trunc((2.0 - g) * yScale)) + 150)};
  };

  const auto ellipses = dc.CallsOf("Ellipse");
  ASSERT_EQ(ellipses.size(), 5u);
  auto [x1, y1] = at(4.0, 2.0);
  EXPECT_EQ(ellipses[1].args, (std::vector<int>{x1 - 5, y1 + 5, x1 + 5, y1 - 5}));
  EXPECT_EQ(ellipses[1].pen, (Pen{PenStyle::Solid, 1, Rgb(100, 100, 100)}));
  EXPECT_EQ(ellipses[1].brush, (Brush{false, Rgb(150, 150, 150)}));
  auto [x3, y3] = at(10.0, 1.5);
  EXPECT_EQ(ellipses[4].args, (std::vector<int>{x3 - 15, y3 + 15, x3 + 15, y3 - 15}));
  EXPECT_EQ(ellipses[4].pen, (Pen{PenStyle::Solid, 1, 0}));
  EXPECT_EQ(ellipses[4].brush, (Brush{false, Rgb(100, 100, 100)}));

  std::vector<RecordedCall> curve;
  for (const auto& call : dc.CallsOf("LineTo"))
    if (call.pen.color == Rgb(255, 0, 0)) curve.push_back(call);
  ASSERT_EQ(curve.size(), 500u);
  EXPECT_EQ(curve[0].pen.width, 5);
  auto [x0, y0] = at(0.0, 0.0);
  EXPECT_EQ(curve[0].args, (std::vector<int>{x0, y0, x0, y0}));
  const double hLast = 499 * 10.0 / 500;
  auto [xl, yl] = at(hLast, 1.6 * (1 - std::exp(-hLast / 3.0)));
  EXPECT_EQ(curve[499].args[2], xl);
  EXPECT_EQ(curve[499].args[3], yl);
  EXPECT_EQ(doc.chartAxes->xEnd, 10.0f);
  EXPECT_EQ(doc.chartAxes->xInterval, 1.0f);  // 1 x 175 is between 100 and 1000
}

TEST_F(Chart, ShowsTheChosenVariableAndNothingWithoutIt) {
  DrawVariogramChart(dc, doc, layout);
  EXPECT_TRUE(dc.Calls().empty());  // no kriging state

  AddModel();
  doc.variableSelection = 1;
  DrawVariogramChart(dc, doc, layout);
  EXPECT_TRUE(dc.Calls().empty());  // no secondary model
  doc.variableSelection = 0;
  DrawVariogramChart(dc, doc, LogicalRect{});
  EXPECT_TRUE(dc.Calls().empty());  // no layout

  doc.krigingState->cross = std::make_unique<VariogramModel>("", 0);
  VariogramModel& cross = *doc.krigingState->cross;
  cross.cloudDistance = {1.0};
  cross.cloudDissimilarity = {1.0};
  cross.cloudCount = 1;
  cross.cloudMaximumDistance = 1.0;
  cross.cloudMaximumDissimilarity = 1.0;
  doc.variableSelection = 2;
  DrawVariogramChart(dc, doc, layout);
  EXPECT_EQ(dc.CallsOf("Ellipse").size(), 1u);
}

TEST_F(Chart, ZeroDistanceAndDissimilarityKeepTheScaleFinite) {
  VariogramModel& m = AddModel();
  m.cloudMaximumDistance = 0.0;
  m.cloudMaximumDissimilarity = 0.0;
  m.cloudDistance = {0.0, 0.0, 0.0};
  m.cloudDissimilarity = {0.0, 0.0, 0.0};
  DrawVariogramChart(dc, doc, layout);
  EXPECT_TRUE(std::isfinite(doc.chartAxes->xScale));
  EXPECT_TRUE(std::isfinite(doc.chartAxes->yScale));
  ASSERT_FALSE(dc.Calls().empty());
  for (const auto& call : dc.Calls()) {
    if (call.op == "SelectPen" || call.op == "SelectBrush") continue;  // colours, not positions
    for (int v : call.args) EXPECT_LT(std::abs(v), 100000) << call.op;
  }
}

TEST_F(Chart, LargeCloudsDrawEverySecondPair) {
  VariogramModel& m = AddModel();
  m.cloudCount = 20001;
  m.cloudDistance.assign(m.cloudCount, 5.0);
  m.cloudDissimilarity.assign(m.cloudCount, 1.0);
  DrawVariogramChart(dc, doc, layout);
  EXPECT_EQ(dc.CallsOf("Ellipse").size(), 10000u + 2u);
}

}  // namespace
}  // namespace gridora

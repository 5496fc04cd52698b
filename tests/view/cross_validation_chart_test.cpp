#include "view/cross_validation_chart.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geostat/cross_validation.h"
#include "geostat/kriging_state.h"
#include "platform/profile.h"
#include "render/chart_axes.h"
#include "render/recording_context.h"
#include "view/document.h"

namespace gridora {
namespace {

class CrossValidationChart : public ::testing::Test {
 protected:
  MemoryProfile profile;
  Document doc{profile};
  RecordingContext dc;
  const LogicalRect layout{0, 0, 2000, -1500};
};

TEST_F(CrossValidationChart, DrawsEstimateAgainstObservedWithTheOneToOneLine) {
  doc.krigingState = std::make_unique<KrigingState>("", 0);
  DrawCrossValidationChart(dc, doc, layout);
  EXPECT_TRUE(dc.Calls().empty());  // nothing before a cross-validation

  auto cv = std::make_shared<CrossValidation>();
  for (auto [observed, estimate] : {std::pair{2.0, 3.0}, {6.0, 5.0}, {4.0, 4.5}}) {
    CrossValidationPoint p;
    p.observed = observed;
    p.estimate = estimate;
    cv->points.push_back(p);
  }
  doc.krigingState->crossValidation = cv;
  DrawCrossValidationChart(dc, doc, layout);
  EXPECT_EQ(dc.CallsOf("Ellipse").size(), 3u);
  EXPECT_EQ(doc.chartAxes->xStart, 2.0f);
  EXPECT_EQ(doc.chartAxes->yEnd, 6.0f);
  // The red line runs from (low, low) to (high, high): up and right by the same amount
  // on equal scales.
  std::vector<RecordedCall> line;
  for (const auto& call : dc.CallsOf("LineTo"))
    if (call.pen.color == Rgb(255, 0, 0)) line.push_back(call);
  ASSERT_EQ(line.size(), 1u);
  const auto& a = line[0].args;
  EXPECT_GT(a[2], a[0]);
  EXPECT_GT(a[3], a[1]);  // logical y grows upwards
}

}  // namespace
}  // namespace gridora

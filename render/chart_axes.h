#pragma once
// Linear chart axes: ranges, tick intervals chosen from the magnitude of the range and
// the plot's scale, blue grid lines with number labels, and a black frame. The variogram
// chart draws on them. The options for logarithmic and time axes, titles and power
// labels exist in the record but nothing switches them on, so the drawing is that of
// plain linear axes.
#include <string>

#include "platform/drawing_context.h"

namespace gridora {

class Profile;
struct DrawingParameters;

struct ChartAxes {
  int xTickCount = 0;
  float xStart = 0, xEnd = 0, xInterval = 0, xFirstTick = 0, xScale = 0;
  int xLogarithmic = 0;
  std::string xTitle;
  int xLabelsOn = 1;
  int xTitleOn = 0;
  int xLabelsBelow = 0;  // the document sets 1
  int xTimeUnit = 0;     // profile "iXAxisUnit"
  int xTimeAxis = 0;
  int xPowerLabels = 0;

  int yTickCount = 0;
  float yStart = 0, yEnd = 0, yInterval = 0, yFirstTick = 0, yScale = 0;
  int yLogarithmic = 0;
  std::string yTitle;
  int yLabelsOn = 1;
  int yTitleOn = 0;
  int yFromBottom = 0;
  int yNegateLabels = 0;
  int yTimeUnit = 0;  // profile "iYAxisUnit"
  int yPowerLabels = 0;
  int yExtraOffset = 0;
  int yAlternativeTitleOn = 0;
  std::string yAlternativeTitle = "Input voltage (V)";
};

// Tick intervals from the magnitudes of xEnd and yEnd, then one decade coarser (or, for
// X, finer) when a tick step would be under 100 (over 1000) logical units.
void ChooseIntervals(ChartAxes& axes);

// Tick counts and first ticks; reads "iXAxisUnit" into xTimeUnit again.
void SetupTicks(ChartAxes& axes, Profile& profile);

// Grid lines and labels of every tick, then the frame.
void DrawChartAxes(DrawingContext& dc, const DrawingParameters& parameter, const ChartAxes& axes);

// Estimated width, in logical units, of a number label of the magnitude of v.
int LabelWidth(double v);

// Text height of the chart's labels before the text-size factor.
inline constexpr int kChartTextHeight = 35;

}  // namespace gridora

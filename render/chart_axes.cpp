#include "render/chart_axes.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>

#include "platform/profile.h"
#include "render/drawing_parameter.h"
#include "render/map_text.h"

namespace gridora {
namespace {

// A range far beyond its tick interval (absurd coordinates) would ask for millions of
// grid lines; the chart stops at this many.
constexpr int kMaximumTicks = 1000;

constexpr Color kGridBlue = 0x00FF0000;

int TickCount(float start, float end, float interval) {
  if (!(interval > 0)) return 0;
  const double count = std::trunc((end - start) / interval) + 1;
  if (!(count >= 0)) return 0;
  return count > kMaximumTicks ? kMaximumTicks : static_cast<int>(count);
}

const char* LabelFormat(float interval, float twoDigitsBelow, float oneDigitBelow) {
  if (interval < twoDigitsBelow) return "%.2f";
  if (interval < oneDigitBelow) return "%.1f";
  return "%.0f";
}

}  // namespace

void ChooseIntervals(ChartAxes& axes) {
  const float x = axes.xEnd;
  axes.xInterval = x > 100000  ? 10000.0f
                   : x > 10000 ? 1000.0f
                   : x > 1000  ? 100.0f
                   : x > 100   ? 10.0f
                   : x > 10    ? 1.0f
                   : x > 1     ? 0.1f
                   : x > 0.1   ? 0.01f  // compared as the double 0.1: 0.1f itself lies above it
                               : 0.001f;
  const float y = axes.yEnd;
  axes.yInterval = y > 100000  ? 10000.0f
                   : y > 10000 ? 1000.0f
                   : y > 1000  ? 100.0f
                   : y > 100   ? 10.0f
                   : y > 10    ? 1.0f
                               : 0.1f;
  if (axes.xInterval * axes.xScale < 100) {
    axes.xInterval *= 10;
  } else if (axes.xInterval * axes.xScale > 1000) {
    axes.xInterval /= 10;
  }
  if (axes.yInterval * axes.yScale < 100) axes.yInterval *= 10;
}

void SetupTicks(ChartAxes& axes, Profile& profile) {
  axes.xTimeUnit = ReadProfileInt(profile, "iXAxisUnit", 0);
  axes.xTickCount = TickCount(axes.xStart, axes.xEnd, axes.xInterval);
  axes.yTickCount = TickCount(axes.yStart, axes.yEnd, axes.yInterval);
  axes.xFirstTick = axes.xStart;
  axes.yFirstTick = axes.yStart;
}

int LabelWidth(double v) {
  const double m = std::fabs(v);
  int width = m >= 100000      ? 175
              : m >= 10000     ? 150
              : m >= 1000      ? 125
              : m >= 100       ? 100
              : m >= 10        ? 75
              : m >= 1         ? 50
              : m >= 0.09      ? 75
              : m >= 0.009     ? 100
              : m >= 0.0009    ? 125
              : m >= 0.00009   ? 150
              : m >= 0.000009  ? 175
              : m >= 0.0000009 ? 200
                               : 100;
  if (v < 0) width += 20;
  return width;
}

void DrawChartAxes(DrawingContext& dc, const DrawingParameters& parameter, const ChartAxes& axes) {
  const int left = parameter.offsetX + parameter.marginLeft;
  const int top = parameter.offsetY + parameter.marginTop;
  const int bottom = static_cast<int>(top + 2 * axes.yExtraOffset + (axes.yEnd - axes.yStart) * axes.yScale);
  const int right = static_cast<int>((axes.xEnd - axes.xStart) * axes.xScale + left);

  const Font oldFont = dc.SelectFont(MapFont(kChartTextHeight));
  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, kGridBlue});

  bool anyLabel = false;
  int lastLabelX = 0;
  for (int i = 0; i < axes.xTickCount; ++i) {
    const float v = i * axes.xInterval + axes.xFirstTick;
    const int x = static_cast<int>((v - axes.xStart) * axes.xScale + left);
    dc.MoveTo(x, -top);
    dc.LineTo(x, -bottom);
    if (axes.xLabelsOn != 1) continue;
    const std::string label = fmt::sprintf(LabelFormat(axes.xInterval, 0.1f, 1.0f), v);
    const int labelX = x - 6 * static_cast<int>(label.size());
    if (!anyLabel || labelX >= lastLabelX + 100) {
      dc.TextOut(labelX, -10 - bottom, label);
      anyLabel = true;
      lastLabelX = labelX;
    }
  }

  const double widest = std::max(static_cast<double>(axes.yInterval), std::fabs(static_cast<double>(axes.yStart)));
  const int labelWidth = LabelWidth(widest);
  for (int j = 0; j < axes.yTickCount; ++j) {
    const float v = j * axes.yInterval + axes.yFirstTick;
    const int y = static_cast<int>((axes.yEnd - v) * axes.yScale + top + axes.yExtraOffset);
    dc.MoveTo(left, -y);
    dc.LineTo(right, -y);
    if (axes.yLabelsOn != 1) continue;
    dc.TextOut(left - labelWidth, -y + 25, fmt::sprintf(LabelFormat(axes.yInterval, 0.09f, 0.9f), v));
  }

  const bool emphasised = parameter.frameEmphasis == 1;
  dc.SelectPen(Pen{PenStyle::Solid, emphasised ? 10 : 5, emphasised ? Rgb(255, 0, 0) : Rgb(0, 0, 0)});
  dc.MoveTo(left, -top);
  dc.LineTo(right, -top);
  dc.MoveTo(left, -bottom);
  dc.LineTo(right, -bottom);
  dc.MoveTo(left, -top);
  dc.LineTo(left, -bottom);
  dc.MoveTo(right, -top);
  dc.LineTo(right, -bottom);

  dc.SelectPen(oldPen);
  dc.SelectFont(oldFont);
}

}  // namespace gridora

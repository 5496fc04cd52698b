#include "dialogs/dialogs.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "dialogs/value_rules.h"
#include "platform/dialog_fields.h"

namespace gridora {
namespace {

// The first message of a list of checks, in the order the fields appear.
std::optional<std::string> FirstProblem(std::initializer_list<std::optional<std::string>> problems) {
  for (const auto& problem : problems)
    if (problem) return problem;
  return std::nullopt;
}

// Ticks from start to end at interval (interval > 0): more than `most` is refused.
std::optional<std::string> CheckTicks(const char* axis, float start, float end, float interval, int most) {
  const double ticks = std::fabs(static_cast<double>(end) - start) / interval + 1.0;
  if (ticks <= most) return std::nullopt;
  return fmt::sprintf("The %s interval %g would draw more than %d ticks from %g to %g. Choose a larger interval.", axis,
                      static_cast<double>(interval), most, static_cast<double>(start), static_cast<double>(end));
}

}  // namespace

std::vector<DialogField> AxisDialog::Fields() {
  return {
      InGroup(MakeField(1001, "Start", FieldKind::Float, &xStart, "xstart"), "X axis"),
      InGroup(MakeField(1002, "End", FieldKind::Float, &xEnd, "xend"), "X axis"),
      InGroup(MakeField(1003, "Interval", FieldKind::Float, &xInterval, "xint"), "X axis"),
      InGroup(MakeField(1004, "Start", FieldKind::Float, &yStart, "ystart"), "Y axis"),
      InGroup(MakeField(1005, "End", FieldKind::Float, &yEnd, "yend"), "Y axis"),
      InGroup(MakeField(1006, "Interval", FieldKind::Float, &yInterval, "yint"), "Y axis"),
      InGroup(WithCaption(MakeField(1007, "", FieldKind::Text, &xTitle, "xtitle"), "Title"), "X axis"),
      InGroup(WithCaption(MakeField(1008, "", FieldKind::Text, &yTitle, "ytitle"), "Title"), "Y axis"),
  };
}

std::optional<std::string> AxisDialog::Validate() const {
  if (auto problem = FirstProblem({CheckCoordinate("The X axis start", xStart), CheckCoordinate("The X axis end", xEnd),
                                   CheckPositiveLength("The X axis interval", xInterval),
                                   CheckCoordinate("The Y axis start", yStart), CheckCoordinate("The Y axis end", yEnd),
                                   CheckPositiveLength("The Y axis interval", yInterval)}))
    return problem;
  return FirstProblem({CheckTicks("X axis", xStart, xEnd, xInterval, kMostAxisTicks),
                       CheckTicks("Y axis", yStart, yEnd, yInterval, kMostAxisTicks)});
}

std::vector<DialogField> ContourSetupDialog::Fields() {
  return {
      MakeField(1002, "Minimum", FieldKind::Float, &minimum, "min"),
      MakeField(1003, "Maximum", FieldKind::Float, &maximum, "max"),
      MakeField(1004, "Interval", FieldKind::Float, &interval, "int"),
  };
}

std::optional<std::string> ContourSetupDialog::Validate() const {
  const bool usable = std::isfinite(minimum) && std::isfinite(maximum) && std::isfinite(interval) && interval > 0.0f &&
                      maximum >= minimum;
  if (usable) return std::nullopt;
  return std::string("The interval must be greater than 0, and the maximum must not be less than the minimum.");
}

std::vector<DialogField> FloatDialog::Fields() {
  return {
      ReadOnly(MakeField(1008, "", FieldKind::Text, &prompt, "")),
      MakeField(1009, "", FieldKind::Float, &value, valueKey),
  };
}

std::optional<std::string> FloatDialog::Validate() const {
  if (rule) return rule(value);
  return std::nullopt;
}

std::vector<DialogField> TwoFloatsDialog::Fields() {
  return {
      ReadOnly(MakeField(1017, "", FieldKind::Text, &prompt1, "")),
      MakeField(1018, "", FieldKind::Float, &value1, key1),
      ReadOnly(MakeField(1019, "", FieldKind::Text, &prompt2, "")),
      MakeField(1020, "", FieldKind::Float, &value2, key2),
  };
}

std::optional<std::string> TwoFloatsDialog::Validate() const {
  if (rule1)
    if (auto problem = rule1(value1)) return problem;
  if (rule2) return rule2(value2);
  return std::nullopt;
}

std::vector<DialogField> GridSizeDialog::Fields() {
  return {
      ReadOnly(MakeField(1004, "NX", FieldKind::Int, &nx, "")),
      ReadOnly(MakeField(1005, "NY", FieldKind::Int, &ny, "")),
      MakeField(1007, "DX", FieldKind::Double, &dx, "dx"),
      MakeField(1008, "DY", FieldKind::Double, &dy, "dy"),
      MakeField(1009, "X start", FieldKind::Double, &xStart, "xstart"),
      MakeField(1010, "Y start", FieldKind::Double, &yStart, "ystart"),
  };
}

std::optional<std::string> GridSizeDialog::Validate() const {
  return FirstProblem({CheckPositiveLength("DX", dx), CheckPositiveLength("DY", dy), CheckCoordinate("X start", xStart),
                       CheckCoordinate("Y start", yStart)});
}

std::vector<DialogField> CsvImportDialog::Fields() {
  return {
      ReadOnly(MakeField(1010, "Number of columns", FieldKind::Int, &ncols, "")),
      MakeField(1011, "Number of columns to be skipped", FieldKind::Int, &colSkip, "colskip"),
      MakeField(1012, "Use 1st column as label", FieldKind::Check, &columnLabels, "collabel"),
      ReadOnly(MakeField(1013, "Number of rows", FieldKind::Int, &nrows, "")),
      MakeField(1014, "Number of rows to be skipped", FieldKind::Int, &rowSkip, "rowskip"),
      MakeField(1015, "Use 1st row as label", FieldKind::Check, &rowLabels, "rowlabel"),
      MakeField(1016, "Transpose", FieldKind::Check, &transpose, "transpose"),
  };
}

std::optional<std::string> CsvImportDialog::Validate() const {
  if (colSkip < 0 || rowSkip < 0)
    return std::string("The numbers of columns and rows to be skipped cannot be negative.");
  if (colSkip >= ncols)
    return fmt::sprintf("Skipping %d of the %d columns leaves no column of values.", colSkip, ncols);
  if (rowSkip >= nrows) return fmt::sprintf("Skipping %d of the %d rows leaves no row of values.", rowSkip, nrows);
  return std::nullopt;
}

std::vector<DialogField> ImportSelectionDialog::Fields() {
  DialogField field = MakeField(1019, "", FieldKind::Radio, &selection, "import");
  field.choices = {"New file", "Append to present data", "Secondary variable for Cokriging"};
  field.batchChoices = {"new", "append", "secondary"};
  return {field};
}

std::vector<DialogField> GridSpacingDialog::Fields() {
  const bool fixedCounts = mode == 1;
  auto lockable = [fixedCounts](DialogField field) {
    field.readOnly = fixedCounts;
    return field;
  };
  return {
      lockable(MakeField(1004, "NX=", FieldKind::Int, &nx, "")),
      lockable(MakeField(1005, "NY=", FieldKind::Int, &ny, "")),
      Hidden(lockable(MakeField(1006, "NZ=", FieldKind::Int, &nz, ""))),
      MakeField(1007, "DX=", FieldKind::Double, &dx, "dx"),
      MakeField(1008, "DY=", FieldKind::Double, &dy, "dy"),
      Hidden(lockable(MakeField(1009, "DZ=", FieldKind::Float, &dz, ""))),
      ReadOnly(MakeField(1010, "", FieldKind::Text, &notice, "")),
  };
}

std::vector<DialogButton> GridSpacingDialog::Buttons() { return {{kRefreshButton, "Reflesh"}}; }

void GridSpacingDialog::OnButton(int controlId) {
  if (controlId == kRefreshButton) Refresh();
}

int NodeCountForExtent(float w, float d) {
  // A spacing far below the extent would overflow the count; such a count is refused
  // later by the command, so holding it at the largest int is enough here.
  constexpr double kLargestCount = std::numeric_limits<int>::max() - 2;
  const float quotient = w / d;
  const double rounded = static_cast<double>(quotient) + 0.001;
  if (std::isnan(rounded)) return 0;
  const int t = static_cast<int>(std::clamp(rounded, -kLargestCount, kLargestCount));
  const float covered = static_cast<float>(t) * d;
  return w > covered ? t + 2 : t + 1;
}

void GridSpacingDialog::Refresh() {
  if (dx > 0) nx = NodeCountForExtent(W, static_cast<float>(dx));
  if (dy > 0) ny = NodeCountForExtent(H, static_cast<float>(dy));
  notice = Validate().value_or(std::string());
}

void GridSpacingDialog::OnFieldEdited(int controlId) {
  if (controlId == 1007 || controlId == 1008) Refresh();
}

std::optional<std::string> GridSpacingDialog::Validate() const {
  if (auto problem = FirstProblem({CheckPositiveLength("DX", dx), CheckPositiveLength("DY", dy)})) return problem;
  if (mostNodes == 0) return layoutCheck ? layoutCheck(dx, dy) : std::nullopt;
  // The refresh button's count in double, which cannot overflow.
  auto count = [](float w, float d) {
    const double t = std::floor(static_cast<double>(w / d) + 0.001);
    return w > static_cast<float>(t) * d ? t + 2.0 : t + 1.0;
  };
  const double columns = count(W, static_cast<float>(dx)), rows = count(H, static_cast<float>(dy));
  if (columns * rows <= static_cast<double>(mostNodes)) return layoutCheck ? layoutCheck(dx, dy) : std::nullopt;
  return fmt::sprintf(
      "DX=%g and DY=%g give about %.0f x %.0f nodes for an area of %g by %g; a grid holds at most %llu. "
      "Choose a larger spacing.",
      dx, dy, columns, rows, static_cast<double>(W), static_cast<double>(H),
      static_cast<unsigned long long>(mostNodes));
}

std::vector<DialogField> GridOriginDialog::Fields() {
  return {
      WithUnit(MakeField(1003, "X=", FieldKind::Double, &xMinimum, "xmin"), "m"),
      WithUnit(MakeField(1004, "Y=", FieldKind::Double, &yMinimum, "ymin"), "m"),
      ReadOnly(MakeField(1005, "Max. data =", FieldKind::Float, &maxData, "")),
      WithCaption(WithUnit(MakeField(1006, "", FieldKind::Double, &xMaximum, "xmax"), "m"), "X max. ="),
      WithCaption(WithUnit(MakeField(1007, "", FieldKind::Double, &yMaximum, "ymax"), "m"), "Y max. ="),
  };
}

std::optional<std::string> GridOriginDialog::Validate() const {
  if (auto problem = FirstProblem({CheckCoordinate("X", xMinimum), CheckCoordinate("Y", yMinimum),
                                   CheckCoordinate("X max.", xMaximum), CheckCoordinate("Y max.", yMaximum)}))
    return problem;
  // The grid holds its corners in single precision: the area must not vanish there.
  const float W = static_cast<float>(xMaximum) - static_cast<float>(xMinimum);
  const float H = static_cast<float>(yMaximum) - static_cast<float>(yMinimum);
  if (W > 0.0f && H > 0.0f) return std::nullopt;
  return fmt::sprintf(
      "The area is empty (X from %g to %g, Y from %g to %g). The maximum must be larger than the minimum in both X "
      "and Y.",
      xMinimum, xMaximum, yMinimum, yMaximum);
}

}  // namespace gridora

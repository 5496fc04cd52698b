#include "dialogs/kriging_options_dialog.h"

#include <fmt/printf.h>

#include "dialogs/value_rules.h"
#include "platform/dialog_fields.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

DialogField Field(int id, std::string label, FieldKind kind, void* member, std::string key, std::string group) {
  return InGroup(MakeField(id, std::move(label), kind, member, std::move(key)), std::move(group));
}

}  // namespace

std::vector<DialogField> KrigingOptionsDialog::Fields() {
  return {
      WithChoices(Field(1601, "", FieldKind::Radio, &model, "model", "Variogram model"),
                  {"Exponential", "Spherical", "Gaussian", "Matern", "Automatic (smallest weighted error)"},
                  {"exponential", "spherical", "gaussian", "matern", "auto"}),
      Field(1602, "Nugget", FieldKind::Double, &nugget, "nugget", "Variogram model"),
      Field(1603, "Matern smoothness (0.5 to 2.5)", FieldKind::Double, &smoothness, "smoothness", "Variogram model"),
      WithChoices(Field(1604, "", FieldKind::Radio, &fit, "fit", "Fit"),
                  {"Damped exponential steps (original)", "Weighted least squares"}, {"specified", "wls"}),
      Field(1605, "Maximum lag (0: none)", FieldKind::Double, &maximumLag, "maxlag", "Fit"),
      WithChoices(Field(1606, "Fit the nugget too", FieldKind::Check, &fitNugget, "fit-nugget", "Fit"), {},
                  {"no", "yes"}),
      WithChoices(Field(1607, "", FieldKind::Radio, &type, "type", "Kriging"), {"Simple", "Ordinary"},
                  {"simple", "ordinary"}),
      Field(1608, "Angle of the long axis (degrees from +X)", FieldKind::Double, &angle, "angle", "Anisotropy"),
      Field(1609, "Ratio short / long length", FieldKind::Double, &ratio, "ratio", "Anisotropy"),
      Field(1610, "Neighbours (0: all points)", FieldKind::Int, &neighbours, "neighbours", "Neighbourhood"),
      Field(1611, "Maximum distance (0: no limit)", FieldKind::Double, &maximumDistance, "maxdist", "Neighbourhood"),
      WithChoices(Field(1612, "Drift", FieldKind::Radio, &drift, "drift", "Trend and transform"),
                  {"None", "Linear in x, y", "Quadratic in x, y"}, {"none", "linear", "quadratic"}),
      WithChoices(Field(1613, "Transform", FieldKind::Radio, &transform, "transform", "Trend and transform"),
                  {"None", "Logarithm"}, {"none", "log"}),
      Field(1614, "Indicator threshold (none: off)", FieldKind::Text, &indicator, "indicator", "Trend and transform"),
      Field(1615, "Block side (0: points)", FieldKind::Double, &block, "block", "Block"),
      Field(1616, "Block points on a side", FieldKind::Int, &blockPoints, "block-points", "Block"),
  };
}

std::optional<std::string> KrigingOptionsDialog::Validate() const {
  if (model < 0 || model > kAutomaticModel)
    return fmt::sprintf("Choose one of the four variogram models (not %d).", model);
  if (fit < 0 || fit > 1) return fmt::sprintf("Choose one of the two fits (not %d).", fit);
  if (fitNugget < 0 || fitNugget > 1) return std::string("Fit the nugget: yes or no.");
  if (type < 0 || type > 1) return fmt::sprintf("Choose simple or ordinary kriging (not %d).", type);
  // The nugget is in units of the standardised variance (1): beyond the dialogs' largest
  // number it is no model, and its standard errors overflow the grid's numbers.
  if (nugget > kLargestDialogLength)
    return fmt::sprintf("The nugget must be at most %g, in units of the data's variance (it is %g).",
                        kLargestDialogLength, nugget);
  // A neighbourhood needs three points for an estimate (LocalNeighbourhood's minimum):
  // with fewer, every node of the grid would be left empty.
  if (neighbours > 0 && neighbours < kFewestNeighbours)
    return fmt::sprintf(
        "The number of neighbours must be 0 (all points) or at least %d (it is %d): an estimate from a "
        "neighbourhood needs %d points.",
        kFewestNeighbours, neighbours, kFewestNeighbours);
  if (drift < 0 || drift > 2) return fmt::sprintf("Choose no drift, linear or quadratic (not %d).", drift);
  if (transform < 0 || transform > 1) return fmt::sprintf("Choose no transform or the logarithm (not %d).", transform);
  if (indicator != "none" && !Threshold())
    return fmt::sprintf("The indicator threshold must be a number or none (it is \"%s\").", indicator);
  return check ? check(*this) : std::nullopt;
}

std::optional<double> KrigingOptionsDialog::Threshold() const {
  double value = 0.0;
  if (indicator == "none" || !ParseDouble(indicator, value)) return std::nullopt;
  return value;
}

std::vector<DialogField> CrossValidationDialog::Fields() {
  return {
      Field(1621, "Folds (0: leave-one-out)", FieldKind::Int, &folds, "folds", ""),
      Field(1622, "Seed of the random folds", FieldKind::Int, &seed, "seed", ""),
  };
}

std::optional<std::string> CrossValidationDialog::Validate() const {
  if (folds < 0 || folds == 1)
    return fmt::sprintf("The number of folds must be 0 (leave-one-out) or at least 2 (it is %d).", folds);
  return std::nullopt;
}

}  // namespace gridora

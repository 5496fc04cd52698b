#pragma once
// The choices of the kriging beyond the plain run: variogram model and nugget, the fit,
// simple or ordinary kriging, geometric anisotropy, and the neighbourhood. One plain
// struct shared by the options dialog, the profile, the document file and the commands.
//
// The defaults are the program's own kriging: exponential model without nugget fitted by
// the damped steps, simple kriging, isotropic, every point in every estimate.
#include <optional>
#include <string>

#include "geostat/covariance_model.h"

namespace gridora {

class Profile;

enum class VariogramFitMethod { Damped, WeightedLeastSquares };
enum class KrigingType { Simple, Ordinary };
// Universal kriging: the mean a polynomial in x and y with unknown coefficients.
enum class DriftKind { None, Linear, Quadratic };
// Trans-Gaussian kriging of ln z (kriging_transform.h in trend/ says how it goes back).
enum class ValueTransform { None, Log };

struct KrigingOptions {
  VariogramKind model = VariogramKind::Exponential;
  double nugget = 0.0;      // in the units of the sill
  double smoothness = 0.5;  // Matern only, 0.5 .. 2.5
  VariogramFitMethod fit = VariogramFitMethod::Damped;
  double maximumLag = 0.0;  // classes beyond it are left out of a least-squares fit; 0: none
  bool fitNugget = false;   // least squares: the nugget is a free parameter starting here
  KrigingType type = KrigingType::Simple;
  double angleDegrees = 0.0;
  double ratio = 1.0;
  int neighbours = 0;            // 0: all points
  double maximumDistance = 0.0;  // 0: no limit
  DriftKind drift = DriftKind::None;
  ValueTransform transform = ValueTransform::None;
  bool indicator = false;  // krige the indicator z > threshold
  double threshold = 0.0;
  double block = 0.0;   // side of the square block; 0: point kriging
  int blockPoints = 4;  // the block is the centres of its blockPoints x blockPoints sub-squares
  // Every model family fitted by least squares, the one of the smallest weighted error
  // kept (variography/automatic_model.h); `model` then holds the family chosen.
  bool automaticModel = false;

  bool operator==(const KrigingOptions&) const = default;

  // True when the covariance is the plain exponential c exp(-h / a), so the kriging
  // runs through its original formulas.
  bool PlainExponential() const;
  // True when the options ask for nothing beyond the kriging of the first releases'
  // options: no drift, transform, indicator or block.
  bool WithoutExtensions() const;
  // The model with this shape and the given range and sill.
  CovarianceModel Model(double range, double sill) const;
  // The block of block kriging (inactive for point kriging), without its variance.
  BlockSupport Block() const { return {block, blockPoints, 0.0}; }
  // What is wrong with the values, for a message; nullopt when they are usable.
  std::optional<std::string> Problem() const;
};

// The options kept in the profile ("Kriging" section); missing or unusable entries give
// the defaults.
KrigingOptions ReadKrigingOptions(Profile& profile);
void WriteKrigingOptions(Profile& profile, const KrigingOptions& options);

// The options as one line of text and back (document file); nullopt for a line that does
// not hold usable options.
std::string KrigingOptionsText(const KrigingOptions& options);
std::optional<KrigingOptions> ParseKrigingOptions(const std::string& text);

}  // namespace gridora

#include "geostat/kriging_options.h"

#include <fmt/printf.h>

#include <cmath>
#include <vector>

#include "platform/number_text.h"
#include "platform/profile.h"

namespace gridora {
namespace {

constexpr const char* kSection = "Kriging";

bool Finite(double v) { return std::isfinite(v); }

// A block of more sub-squares than this on a side costs n^4 covariances for its own
// variance and adds nothing a finer grid of blocks would not.
constexpr int kMostBlockPoints = 32;

// The words of the text form, in order; numbers with 17 significant digits so that they
// come back unchanged. The drift, transform, indicator and block follow only when one
// of them is set, so options without them keep the first releases' text.
std::vector<double> Numbers(const KrigingOptions& o) {
  std::vector<double> v = {static_cast<double>(o.model),      o.nugget,         o.smoothness,
                           static_cast<double>(o.fit),        o.maximumLag,     o.fitNugget ? 1.0 : 0.0,
                           static_cast<double>(o.type),       o.angleDegrees,   o.ratio,
                           static_cast<double>(o.neighbours), o.maximumDistance};
  if (!o.WithoutExtensions())
    v.insert(v.end(), {static_cast<double>(o.drift), static_cast<double>(o.transform), o.indicator ? 1.0 : 0.0,
                       o.threshold, o.block, static_cast<double>(o.blockPoints)});
  return v;
}

// The automatic model choice adds a twelfth word; without it the text is as it was.
std::vector<double> WordsOf(const KrigingOptions& o) {
  std::vector<double> words = Numbers(o);
  if (o.automaticModel) words.push_back(1.0);
  return words;
}

std::optional<KrigingOptions> FromNumbers(const std::vector<double>& v) {
  // 11 words, 17 with the trend's, and one more (1) for the automatic model choice.
  const bool automatic = (v.size() == 12 || v.size() == 18) && v.back() == 1.0;
  const std::size_t words = automatic ? v.size() - 1 : v.size();
  if (words != 11 && words != 17) return std::nullopt;
  auto index = [](double x, int count) { return x >= 0 && x < count && x == std::floor(x); };
  if (!index(v[0], 4) || !index(v[3], 2) || !index(v[5], 2) || !index(v[6], 2) || !(v[9] >= 0 && v[9] < 1e9))
    return std::nullopt;
  KrigingOptions o;
  o.model = static_cast<VariogramKind>(static_cast<int>(v[0]));
  o.nugget = v[1];
  o.smoothness = v[2];
  o.fit = static_cast<VariogramFitMethod>(static_cast<int>(v[3]));
  o.maximumLag = v[4];
  o.fitNugget = v[5] != 0.0;
  o.type = static_cast<KrigingType>(static_cast<int>(v[6]));
  o.angleDegrees = v[7];
  o.ratio = v[8];
  o.neighbours = static_cast<int>(v[9]);
  o.maximumDistance = v[10];
  if (words == 17) {
    if (!index(v[11], 3) || !index(v[12], 2) || !index(v[13], 2) || !(v[16] >= 1 && v[16] <= kMostBlockPoints))
      return std::nullopt;
    o.drift = static_cast<DriftKind>(static_cast<int>(v[11]));
    o.transform = static_cast<ValueTransform>(static_cast<int>(v[12]));
    o.indicator = v[13] != 0.0;
    o.threshold = v[14];
    o.block = v[15];
    o.blockPoints = static_cast<int>(v[16]);
  }
  o.automaticModel = automatic;
  if (o.Problem()) return std::nullopt;
  return o;
}

}  // namespace

bool KrigingOptions::PlainExponential() const {
  return model == VariogramKind::Exponential && nugget == 0.0 && ratio == 1.0;
}

bool KrigingOptions::WithoutExtensions() const {
  return drift == DriftKind::None && transform == ValueTransform::None && !indicator && block == 0.0 &&
         blockPoints == 4;
}

CovarianceModel KrigingOptions::Model(double range, double sill) const {
  CovarianceModel m;
  m.kind = model;
  m.range = range;
  m.sill = sill;
  m.nugget = nugget;
  m.smoothness = smoothness;
  m.angleDegrees = angleDegrees;
  m.ratio = ratio;
  return m;
}

std::optional<std::string> KrigingOptions::Problem() const {
  if (!(nugget >= 0.0) || !Finite(nugget)) return fmt::sprintf("The nugget must be 0 or more (it is %g).", nugget);
  if (model == VariogramKind::Matern && !(smoothness >= 0.5 && smoothness <= 2.5))
    return fmt::sprintf("The Matern smoothness must lie between 0.5 and 2.5 (it is %g).", smoothness);
  if (!(maximumLag >= 0.0) || !Finite(maximumLag))
    return fmt::sprintf("The maximum lag must be 0 (none) or more (it is %g).", maximumLag);
  if (!Finite(angleDegrees)) return std::string("The anisotropy angle must be a number.");
  if (!(ratio > 0.0 && ratio <= 1.0))
    return fmt::sprintf("The anisotropy ratio must be greater than 0 and at most 1 (it is %g).", ratio);
  if (neighbours < 0) return fmt::sprintf("The number of neighbours must be 0 (all) or more (it is %d).", neighbours);
  if (!(maximumDistance >= 0.0) || !Finite(maximumDistance))
    return fmt::sprintf("The maximum distance must be 0 (no limit) or more (it is %g).", maximumDistance);
  if (drift != DriftKind::None && type != KrigingType::Ordinary)
    return std::string(
        "A linear or quadratic drift (universal kriging) estimates the mean with the drift: choose ordinary kriging "
        "(type=ordinary).");
  if (transform == ValueTransform::Log && drift != DriftKind::None)
    return std::string("The log transform kriges ln z with an unknown constant mean: choose drift=none with it.");
  if (transform == ValueTransform::Log && block > 0.0)
    return std::string("The log transform estimates points: choose block=0 with it.");
  if (transform == ValueTransform::Log && indicator)
    return std::string("Choose either the log transform or the indicator, not both.");
  if (indicator && !Finite(threshold)) return std::string("The indicator threshold must be a number.");
  if (!(block >= 0.0) || !Finite(block))
    return fmt::sprintf("The block side must be 0 (point kriging) or more (it is %g).", block);
  if (blockPoints < 1 || blockPoints > kMostBlockPoints)
    return fmt::sprintf("The block points must be from 1 to %d on a side (it is %d).", kMostBlockPoints, blockPoints);
  return std::nullopt;
}

KrigingOptions ReadKrigingOptions(Profile& profile) {
  const std::string text = profile.ReadText(kSection, "Options", "");
  if (text.empty()) return KrigingOptions{};
  return ParseKrigingOptions(text).value_or(KrigingOptions{});
}

void WriteKrigingOptions(Profile& profile, const KrigingOptions& options) {
  profile.WriteText(kSection, "Options", KrigingOptionsText(options));
}

std::string KrigingOptionsText(const KrigingOptions& options) {
  std::string text;
  for (double v : WordsOf(options)) {
    if (!text.empty()) text += ' ';
    text += fmt::sprintf("%.17g", v);
  }
  return text;
}

std::optional<KrigingOptions> ParseKrigingOptions(const std::string& text) {
  std::vector<double> values;
  std::size_t pos = 0;
  double v = 0.0;
  while (ScanDouble(text, pos, v)) values.push_back(v);
  return FromNumbers(values);
}

}  // namespace gridora

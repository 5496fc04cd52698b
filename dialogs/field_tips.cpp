#include "dialogs/field_tips.h"

#include <array>
#include <string_view>

namespace gridora {
namespace {

struct KnownKey {
  std::string_view key;
  std::string_view tip;
};

// Keys that mean the same wherever a dialog uses them.
constexpr std::array<KnownKey, 25> kKnownKeys = {{
    {"dx", "Spacing of the grid nodes along X, in map units."},
    {"dy", "Spacing of the grid nodes along Y, in map units."},
    {"xmin", "Lowest X of the grid (its first column), in map units."},
    {"xmax", "Highest X of the grid (its last column), in map units."},
    {"ymin", "Lowest Y of the grid (its first row), in map units."},
    {"ymax", "Highest Y of the grid (its last row), in map units."},
    {"xstart", "Left end of the X axis shown, in map units."},
    {"xend", "Right end of the X axis shown, in map units."},
    {"xint", "Distance between the X axis ticks and grid lines, in map units."},
    {"ystart", "Lower end of the Y axis shown, in map units."},
    {"yend", "Upper end of the Y axis shown, in map units."},
    {"yint", "Distance between the Y axis ticks and grid lines, in map units."},
    {"xtitle", "Title written under the X axis."},
    {"ytitle", "Title written beside the Y axis."},
    {"seed", "Seed of the random numbers: the same seed repeats the same run. No unit."},
    {"realisations", "How many realisations to simulate. A count."},
    {"max-points", "Most data points used for one estimate. A count."},
    {"min-points", "Fewest data points an estimate needs; nodes with fewer stay empty. A count."},
    {"power", "Exponent of the inverse distance weights (2 is usual). No unit."},
    {"ramp", "The colours of the bands from the lowest to the highest value."},
    {"reverse", "Runs the ramp from the highest value down (on top of View > Color target)."},
    {"legend-title", "Text above the legend; a long title wraps. Empty: no title."},
    {"legend-units", "Units of the mapped values, shown in brackets under the legend's title (e.g. m a.s.l.)."},
    {"title", "Title printed above the map; empty: the document's name."},
    {"diagnostic-files", "Whether the analyses write their log and matrix text files into the current folder."},
}};

std::string KindText(const DialogField& field) {
  switch (field.kind) {
    case FieldKind::Float:
    case FieldKind::Double: return "A number";
    case FieldKind::Int: return "A whole number";
    case FieldKind::Text: return "Text";
    case FieldKind::Check: return "On or off";
    case FieldKind::Radio: return "Choose one";
  }
  return "A value";
}

}  // namespace

std::string FieldTip(const DialogField& field) {
  std::string tip;
  for (const KnownKey& known : kKnownKeys)
    if (!field.batchKey.empty() && field.batchKey == known.key) tip = std::string(known.tip);
  if (tip.empty()) {
    const std::string& name = field.label.empty() ? field.caption : field.label;
    if (!field.group.empty()) tip = field.group + (name.empty() ? "" : ": ");
    tip += name;
    if (!tip.empty()) tip += ". ";
    tip += KindText(field);
    tip += field.unit.empty() ? "." : ", in " + field.unit + ".";
  }
  if (!field.batchKey.empty()) tip += " (Script key: " + field.batchKey + ")";
  return tip;
}

}  // namespace gridora

#pragma once
// The data side of the Grid menu's dialogs: grid math, the volume and the filters.
// The choices are held as indices into the words the batch mode uses for them (the
// order of GridOperation, VolumeMethod and FilterType in gridops/).
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

// "Grid math": the operation and, with a constant, the constant.
class GridMathDialog : public DialogData {
 public:
  int operation = 0;  // add, subtract, multiply, divide, minimum, maximum
  double value = 0;
  // With a second grid the constant is not asked for (the field is hidden).
  bool withConstant = true;

  std::string Title() const override { return "Grid math"; }
  int ResourceId() const override { return 410; }
  std::vector<DialogField> Fields() override;
  // A finite constant within the dialogs' range.
  std::optional<std::string> Validate() const override;
};

// "Volume": the level (when there is no lower surface) and the rule.
class VolumeDialog : public DialogData {
 public:
  double level = 0;
  int method = 0;  // trapezoid, simpson, simpson38
  // With a lower surface the level is not asked for (the field is hidden).
  bool withLevel = true;

  std::string Title() const override { return "Volume"; }
  int ResourceId() const override { return 411; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

// "Filter": the type and the full width of the footprint in map units.
class GridFilterDialog : public DialogData {
 public:
  int type = 0;  // gaussian, boxcar, median
  double width = 0;

  std::string Title() const override { return "Filter"; }
  int ResourceId() const override { return 412; }
  std::vector<DialogField> Fields() override;
  // A width greater than 0 (and at most the dialogs' largest length).
  std::optional<std::string> Validate() const override;
};

}  // namespace gridora

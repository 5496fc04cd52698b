#pragma once
// The data side of the dialogs that hand results to GIS and CAD files and clean up
// points: grid and contour export options, merging duplicate points, block reduction
// and hull blanking.
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

// "Export grid": format (or from the file name), the layer, the coordinate system.
class ExportGridDialog : public DialogData {
 public:
  int format = 0;  // 0 from the file name, then gtiff, aaigrid, gsag, gsbg, netcdf
  int layer = 0;   // 0 estimate, 1 standard error, 2 both
  std::string crs;

  std::string Title() const override { return "Export grid"; }
  int ResourceId() const override { return 301; }
  std::vector<DialogField> Fields() override;
};

// "Export contours": the coordinate system.
class ExportContoursDialog : public DialogData {
 public:
  std::string crs;

  std::string Title() const override { return "Export contours"; }
  int ResourceId() const override { return 302; }
  std::vector<DialogField> Fields() override;
};

// "Merge duplicates": tolerance and method.
class MergeDuplicatesDialog : public DialogData {
 public:
  float tolerance = 0.0f;
  int method = 0;  // mean, median, first

  std::string Title() const override { return "Merge duplicates"; }
  int ResourceId() const override { return 304; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

// "Block reduce": cell size and method.
class BlockReduceDialog : public DialogData {
 public:
  float cell = 0.0f;
  int method = 0;  // mean, median

  std::string Title() const override { return "Block reduce"; }
  int ResourceId() const override { return 305; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

// "Blank outside hull": the enlargement of the data's convex hull.
class BlankHullDialog : public DialogData {
 public:
  float distance = 0.0f;

  std::string Title() const override { return "Blank outside hull"; }
  int ResourceId() const override { return 306; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

}  // namespace gridora

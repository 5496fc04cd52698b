#include "dialogs/exchange_dialogs.h"

#include <cmath>

#include "platform/dialog_fields.h"

namespace gridora {

std::vector<DialogField> ExportGridDialog::Fields() {
  return {
      RadioField(1101, "Format", &format, "format",
                 {"From the file name", "GeoTIFF (.tif)", "ESRI ASCII grid (.asc)", "Surfer ASCII grid (.grd)",
                  "Surfer binary grid (.grd)", "netCDF (.nc)"},
                 {"auto", "gtiff", "aaigrid", "gsag", "gsbg", "netcdf"}),
      RadioField(1102, "Layer", &layer, "layer", {"Estimate", "Standard error", "Both"}, {"estimate", "error", "both"}),
      MakeField(1103, "Coordinate system (EPSG code or WKT)", FieldKind::Text, &crs, "crs"),
  };
}

std::vector<DialogField> ExportContoursDialog::Fields() {
  return {MakeField(1111, "Coordinate system (EPSG code or WKT)", FieldKind::Text, &crs, "crs")};
}

std::vector<DialogField> MergeDuplicatesDialog::Fields() {
  return {
      MakeField(1131, "Tolerance (0 = the same position)", FieldKind::Float, &tolerance, "tolerance"),
      RadioField(1132, "Merged value", &method, "method", {"Mean", "Median", "First point"},
                 {"mean", "median", "first"}),
  };
}

std::optional<std::string> MergeDuplicatesDialog::Validate() const {
  if (std::isfinite(tolerance) && tolerance >= 0.0f) return std::nullopt;
  return std::string("The tolerance must be 0 or more.");
}

std::vector<DialogField> BlockReduceDialog::Fields() {
  return {
      MakeField(1141, "Cell size", FieldKind::Float, &cell, "cell"),
      RadioField(1142, "Value of a cell", &method, "method", {"Mean", "Median"}, {"mean", "median"}),
  };
}

std::optional<std::string> BlockReduceDialog::Validate() const {
  if (std::isfinite(cell) && cell > 0.0f) return std::nullopt;
  return std::string("The cell size must be greater than 0.");
}

std::vector<DialogField> BlankHullDialog::Fields() {
  return {MakeField(1151, "Enlarge the hull by", FieldKind::Float, &distance, "distance")};
}

std::optional<std::string> BlankHullDialog::Validate() const {
  if (std::isfinite(distance) && distance >= 0.0f) return std::nullopt;
  return std::string("The distance must be 0 or more.");
}

}  // namespace gridora

#include "dialogs/exchange_dialogs.h"

#include <cmath>

namespace gridora {
namespace {

DialogField Field(int id, std::string label, FieldKind kind, void* member, std::string key) {
  DialogField field;
  field.controlId = id;
  field.label = std::move(label);
  field.kind = kind;
  field.member = member;
  field.batchKey = std::move(key);
  return field;
}

DialogField Radio(int id, std::string label, int* member, std::string key, std::vector<std::string> choices,
                  std::vector<std::string> words) {
  DialogField field = Field(id, std::move(label), FieldKind::Radio, member, std::move(key));
  field.choices = std::move(choices);
  field.batchChoices = std::move(words);
  return field;
}

}  // namespace

std::vector<DialogField> CDlgExportGrid::Fields() {
  return {
      Radio(1101, "Format", &format, "format",
            {"From the file name", "GeoTIFF (.tif)", "ESRI ASCII grid (.asc)", "Surfer ASCII grid (.grd)",
             "Surfer binary grid (.grd)", "netCDF (.nc)"},
            {"auto", "gtiff", "aaigrid", "gsag", "gsbg", "netcdf"}),
      Radio(1102, "Layer", &layer, "layer", {"Estimate", "Standard error", "Both"}, {"estimate", "error", "both"}),
      Field(1103, "Coordinate system (EPSG code or WKT)", FieldKind::Text, &crs, "crs"),
  };
}

std::vector<DialogField> CDlgExportContours::Fields() {
  return {Field(1111, "Coordinate system (EPSG code or WKT)", FieldKind::Text, &crs, "crs")};
}

std::vector<DialogField> CDlgMergeDuplicates::Fields() {
  return {
      Field(1131, "Tolerance (0 = the same position)", FieldKind::Float, &tolerance, "tolerance"),
      Radio(1132, "Merged value", &method, "method", {"Mean", "Median", "First point"}, {"mean", "median", "first"}),
  };
}

std::optional<std::string> CDlgMergeDuplicates::Validate() const {
  if (std::isfinite(tolerance) && tolerance >= 0.0f) return std::nullopt;
  return std::string("The tolerance must be 0 or more.");
}

std::vector<DialogField> CDlgBlockReduce::Fields() {
  return {
      Field(1141, "Cell size", FieldKind::Float, &cell, "cell"),
      Radio(1142, "Value of a cell", &method, "method", {"Mean", "Median"}, {"mean", "median"}),
  };
}

std::optional<std::string> CDlgBlockReduce::Validate() const {
  if (std::isfinite(cell) && cell > 0.0f) return std::nullopt;
  return std::string("The cell size must be greater than 0.");
}

std::vector<DialogField> CDlgBlankHull::Fields() {
  return {Field(1151, "Enlarge the hull by", FieldKind::Float, &distance, "distance")};
}

std::optional<std::string> CDlgBlankHull::Validate() const {
  if (std::isfinite(distance) && distance >= 0.0f) return std::nullopt;
  return std::string("The distance must be 0 or more.");
}

}  // namespace gridora

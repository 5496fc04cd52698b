// Results out to GIS and CAD: the grid and its contour lines through GDAL, a raster
// in as a grid document, and the two map options that go with them (blanking beyond
// the data's hull, contour labels).
#include <filesystem>
#include <memory>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "dialogs/exchange_dialogs.h"
#include "document/hidden_nodes.h"
#include "exchange/contour_export.h"
#include "exchange/grid_export.h"
#include "exchange/raster_import.h"
#include "gridops/contour_lines.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"
#include "view/map_contour_levels.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

const FileFilter kGridFilter{"Grid files (*.tif *.asc *.grd *.nc)", "*.tif *.asc *.grd *.nc"};
const FileFilter kContourFilter{"Contour files (*.gpkg *.geojson *.dxf)", "*.gpkg *.geojson *.dxf"};
const FileFilter kRasterFilter{"Raster grids (*.tif *.tiff *.asc *.grd *.nc)", "*.tif *.tiff *.asc *.grd *.nc"};

// Profile key of the coordinate system last given for an export.
constexpr const char* kCrsKey = "ExportCrs";
constexpr const char* kHullDistanceKey = "HullDistance";

bool GridShown(const CommandContext& c) {
  const GridModel& g = *c.doc.grid;
  return g.NX > 1 && g.NY > 1 && g.HasValues();
}

// A name typed without an extension gets the format's usual one.
std::string WithExtension(const std::string& path, const char* extension) {
  return fs::path(path).has_extension() ? path : path + extension;
}

std::string StoredCrs(Profile& profile) {
  std::string crs;
  ReadProfileText(profile, kCrsKey, crs);
  return crs;
}

CommandStatus ExportGridFile(CommandContext& c) {
  const auto chosen = c.ui.SaveFileName("", kGridFilter);
  if (!chosen) return CommandStatus::Canceled;
  ExportGridDialog dialog;
  dialog.crs = StoredCrs(c.profile);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  c.profile.WriteText(kProfileSection, kCrsKey, dialog.crs);

  // The format chosen in the dialog, else the one the name's extension implies; a name
  // without an extension gets the format's own (GeoTIFF when none was chosen).
  static const GridFormat kChoices[] = {GridFormat::GeoTiff,     GridFormat::GeoTiff,      GridFormat::AsciiGrid,
                                        GridFormat::SurferAscii, GridFormat::SurferBinary, GridFormat::NetCdf};
  static const char* const kExtensions[] = {".tif", ".tif", ".asc", ".grd", ".grd", ".nc"};
  const int choice = dialog.format > 0 && dialog.format < 6 ? dialog.format : 0;
  const std::string path = WithExtension(*chosen, kExtensions[choice]);
  std::optional<GridFormat> format = GridFormatFromPath(path);
  if (choice > 0) format = kChoices[choice];
  if (!format) {
    c.ui.Message("Cannot tell the grid format from the name " + fs::path(path).filename().string() +
                 ": use .tif, .asc, .grd or .nc, or choose the format.");
    return CommandStatus::Failed;
  }
  static const GridLayer kLayers[] = {GridLayer::Estimate, GridLayer::Error, GridLayer::Both};
  GridExportRequest request;
  request.path = path;
  request.format = *format;
  request.layer = kLayers[dialog.layer >= 0 && dialog.layer < 3 ? dialog.layer : 0];
  request.crs = dialog.crs;
  std::vector<std::string> written;
  std::string problem;
  if (!ExportGrid(*c.doc.grid, request, written, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  if (written.size() > 1) c.ui.Message("The standard error was written to " + written.back());
  return CommandStatus::Done;
}

CommandStatus ExportContourFile(CommandContext& c) {
  const auto chosen = c.ui.SaveFileName("", kContourFilter);
  if (!chosen) return CommandStatus::Canceled;
  const std::string path = WithExtension(*chosen, ".gpkg");
  const auto format = ContourFormatFromPath(path);
  if (!format) {
    c.ui.Message("Cannot tell the contour format from the name " + fs::path(path).filename().string() +
                 ": use .dxf, .gpkg or .geojson.");
    return CommandStatus::Failed;
  }
  ExportContoursDialog dialog;
  dialog.crs = StoredCrs(c.profile);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  c.profile.WriteText(kProfileSection, kCrsKey, dialog.crs);

  const MapContourLevels levels = CurrentContourLevels(c.doc);
  ContourRequest request;
  request.layer = c.doc.layerIndex;
  request.levels = levels.levels;
  request.logValues = levels.logValues;
  request.hidden = HiddenNodes(*c.doc.grid).Mask();
  const std::vector<ContourLine> lines = TraceContours(*c.doc.grid, request);
  std::string problem;
  if (!ExportContours(lines, path, *format, dialog.crs, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  return CommandStatus::Done;
}

CommandStatus OpenRaster(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kRasterFilter);
  if (!path) return CommandStatus::Canceled;
  // Read into a new grid: the document changes only when the raster could be read.
  std::unique_ptr<GridModel> grid = CreateGridModel(c.profile);
  std::string problem;
  if (!ReadRasterGrid(*grid, *path, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.doc.grid = std::move(grid);
  c.doc.dataFolder = fs::path(*path).parent_path().string();
  c.doc.pathName.clear();
  c.doc.scaleFromFile = 0;
  c.doc.scaleFitted = 0;
  c.doc.layerIndex = 0;
  c.doc.mapBitmapDirty = 1;
  c.view.SetTitle(fs::path(*path).filename().string());
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus BlankHull(CommandContext& c) {
  GridModel& g = *c.doc.grid;
  if (g.blankOutsideHull == 1) {
    g.blankOutsideHull = 0;
    g.dataHull.clear();
  } else {
    const RandomData& data = *c.doc.primaryData;
    if (data.count < 1) {
      c.ui.Message("There are no data points to take the hull from.");
      return CommandStatus::Failed;
    }
    BlankHullDialog dialog;
    ReadProfileFloat(c.profile, kHullDistanceKey, dialog.distance);
    if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
    WriteProfileFloat(c.profile, kHullDistanceKey, dialog.distance);
    g.dataHull = ConvexHull(data.points.get(), data.count);
    g.hullDistance = dialog.distance;
    g.blankOutsideHull = 1;
  }
  c.doc.mapBitmapDirty = 1;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus ContourLabels(CommandContext& c) {
  GridModel& g = *c.doc.grid;
  g.contourLabels = g.contourLabels == 1 ? 0 : 1;
  c.view.Invalidate();
  return CommandStatus::Done;
}

}  // namespace

void RegisterGisExportCommands(CommandTable& table) {
  using O = CommandOwner;
  const auto whenGrid = [](const CommandContext& c, CommandState& s) { s.enabled = GridShown(c); };
  table.Add({ID_EXPORT_GRID, O::View, ExportGridFile, whenGrid});
  table.Add({ID_EXPORT_CONTOURS, O::View, ExportContourFile, whenGrid});
  table.Add({ID_OPEN_RASTER, O::Document, OpenRaster});
  table.Add({ID_BLANK_HULL, O::View, BlankHull, [](const CommandContext& c, CommandState& s) {
               s.checked = c.doc.grid->blankOutsideHull == 1;
               s.enabled = s.checked || c.doc.primaryData->count >= 1;
             }});
  table.Add({ID_CONTOUR_LABELS, O::View, ContourLabels, [](const CommandContext& c, CommandState& s) {
               s.checked = c.doc.grid->contourLabels == 1;
               s.enabled = GridShown(c);
             }});

  table.AddBatch({"export-grid", ID_EXPORT_GRID, {"format", "crs", "layer", "cancel"}}).takesArgument = true;
  table.AddBatch({"export-contours", ID_EXPORT_CONTOURS, {"crs", "cancel"}}).takesArgument = true;
  table.AddBatch({"open-raster", ID_OPEN_RASTER, {}}).takesArgument = true;
  table.AddBatch({"blank-hull", ID_BLANK_HULL, {"distance", "cancel"}});
  table.AddBatch({"contour-labels", ID_CONTOUR_LABELS, {}});
}

}  // namespace gridora

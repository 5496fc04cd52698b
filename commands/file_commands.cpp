// The File menu: documents, point files, the standard XML and CSV results, printing,
// and grids and contour lines out to GIS and CAD files (and a raster grid in).
#include "commands/file_commands.h"

#include <fmt/printf.h>

#include <filesystem>
#include <memory>
#include <new>
#include <utility>

#include "commands/batch_keys.h"
#include "commands/batch_line.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_rules.h"
#include "commands/document_file.h"
#include "dialogs/dialogs.h"
#include "dialogs/exchange_dialogs.h"
#include "document/hidden_nodes.h"
#include "exchange/contour_export.h"
#include "exchange/grid_export.h"
#include "exchange/raster_import.h"
#include "formats/csv_export.h"
#include "formats/finite_values.h"
#include "formats/pwri_grid.h"
#include "formats/space_delimited.h"
#include "gridops/contour_lines.h"
#include "platform/count_text.h"
#include "platform/number_text.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"
#include "view/map_contour_levels.h"
#include "xml/geo_plot_data.h"
#include "xml/standard_xml_writer.h"

namespace gridora {
namespace {

const FileFilter kDocumentFilter{"Gridora Files (*.snp)", "*.snp"};

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The document's own name is the proposal for saving.
CommandStatus SaveTo(CommandContext& c, const std::string& path) {
  std::string problem;
  if (!WriteDocumentFile(c.doc, path, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.view.AddRecentFile(path);
  c.view.SetTitle(FileNameOf(path));
  return CommandStatus::Done;
}

CommandStatus SaveAs(CommandContext& c) {
  const std::string proposal = c.doc.pathName.empty() ? std::string() : FileNameOf(c.doc.pathName);
  const auto path = c.ui.SaveFileName(proposal, kDocumentFilter);
  if (!path) return CommandStatus::Canceled;
  return SaveTo(c, *path);
}

// A document that has no document file yet (new, or read from a CSV table) is saved
// under a name the user chooses.
CommandStatus Save(CommandContext& c) { return c.doc.pathName.empty() ? SaveAs(c) : SaveTo(c, c.doc.pathName); }

CommandStatus Open(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kDocumentFilter);
  if (!path) return CommandStatus::Canceled;
  return OpenDocumentFile(c, *path);
}

// Moves what a reader put into `read` into the document's point set.
void ReplacePoints(RandomData& target, RandomData& read) { std::swap(target, read); }

// Lines added to the import message only when the file gave more than was kept.
std::string WhatWasLeftOut(const SpaceDelimitedCounts& counts, int kept) {
  std::string text;
  if (counts.pointsInFile > kept)
    text += fmt::sprintf("\n%s of %s points read: the limit is %s", GroupedCount(static_cast<std::uint64_t>(kept)),
                         GroupedCount(static_cast<std::uint64_t>(counts.pointsInFile)),
                         GroupedCount(RandomData::kCapacity));
  if (counts.notFinite > 0)
    text += fmt::sprintf("\n%s point(s) skipped: a value is not a number or infinite",
                         GroupedCount(static_cast<std::uint64_t>(counts.notFinite)));
  return text;
}

enum ImportChoice { kNewFile = 0, kAppend = 1, kSecondary = 2 };

// The import selection is asked only when points are loaded; a script that chooses
// anything but new data for an empty document would otherwise be ignored.
std::optional<std::string> RefuseImportWithoutPoints(const CommandContext& c, const BatchLine& line) {
  const std::string* choice = line.Key("import");
  if (!choice || *choice == "new" || c.doc.primaryData->count > 0) return std::nullopt;
  return "import=" + *choice + " needs loaded points; the document has none, so the file can only be read as new data";
}

CommandStatus OpenRandomData(CommandContext& c) {
  const auto path = c.ui.OpenFileName("*.*", FileFilter{"Random data file (*.*)", "*.*"});
  if (!path) return CommandStatus::Canceled;
  int choice = kNewFile;
  if (c.doc.primaryData->count > 0) {
    ImportSelectionDialog dialog;
    if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
    choice = dialog.selection;
    if (choice == kAppend) {
      c.ui.Message("Sorry. Under construction.");
      return CommandStatus::Canceled;
    }
  }

  // Read into a new set: the document changes only when the file gave points.
  auto read = CreateRandomData();
  std::string problem;
  SpaceDelimitedCounts counts;
  if (!ReadSpaceDelimited(*read, *path, problem, {}, &counts)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  const int count = read->count;
  const bool secondary = choice == kSecondary;
  c.ui.Message(PointSummary(secondary, *read) + WhatWasLeftOut(counts, count));
  if (count == 0) return CommandStatus::Failed;

  if (secondary)
    c.doc.secondaryData = std::move(read);
  else
    ReplacePoints(*c.doc.primaryData, *read);
  c.doc.dataFolder = std::filesystem::path(*path).parent_path().string();
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus OpenPwriData(CommandContext& c) {
  const auto path = c.ui.OpenFileName("*.*", FileFilter{"PWRI grid data (*.*)", "*.*"});
  if (!path) return CommandStatus::Canceled;
  auto read = CreateRandomData();
  std::string problem;
  long long notFinite = 0;
  if (!ReadPwriGrid(*read, *path, problem, RandomData::kCapacity, &notFinite)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  std::string summary = fmt::sprintf("Number of data = %d min.= %f max.= %f", read->count,
                                     static_cast<double>(read->zMinimum), static_cast<double>(read->zMaximum));
  if (notFinite > 0)
    summary += fmt::sprintf("\n%s value(s) that are not a number or infinite were passed over",
                            GroupedCount(static_cast<std::uint64_t>(notFinite)));
  c.ui.Message(summary);
  if (read->count == 0) return CommandStatus::Failed;
  ReplacePoints(*c.doc.primaryData, *read);
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus Result(bool ok) { return ok ? CommandStatus::Done : CommandStatus::Failed; }

// "Save standard XML file": the file, the grid copied into section data with the
// survey metadata from the profile, the language (kept in the profile), then the file.
CommandStatus SaveStandardXml(CommandContext& c) {
  if (auto notFinite = FindNonFiniteGridValue(*c.doc.grid)) {
    c.ui.Message(NonFiniteMessage("the standard XML file", *notFinite));
    return CommandStatus::Failed;
  }
  const auto path = c.ui.SaveFileName("*.xml", {"Standard XML file (*.xml)", "*.xml"});
  if (!path) return CommandStatus::Canceled;
  std::unique_ptr<GeoPlotData> data;
  try {
    data = BuildSectionData(*c.doc.grid, c.profile);
  } catch (const std::bad_alloc&) {
    data.reset();
  }
  if (!data) {
    c.ui.Message("Error in memory data copy !");
    return CommandStatus::Failed;
  }
  const bool japanese = c.ui.Question("Save Japanese XML file?");
  WriteProfileInt(c.profile, "bJapaneseXML", japanese ? 1 : 0);
  std::string problem;
  if (!WriteStandardXml(*path, *data, GetProgramFolder(c.doc.startFolder), japanese, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  return CommandStatus::Done;
}

CommandStatus SaveCsv(CommandContext& c) {
  // A save dialog: the name is usually a new file; one typed without an extension gets
  // ".csv".
  const auto path = c.ui.SaveFileName("*.csv", {"CSV file(*.csv)", "*.csv"});
  if (!path) return CommandStatus::Canceled;
  std::string problem;
  if (!WriteCsvGrid(*c.doc.grid, *path, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  return CommandStatus::Done;
}

namespace fs = std::filesystem;

const FileFilter kGridFilter{"Grid files (*.tif *.asc *.grd *.nc)", "*.tif *.asc *.grd *.nc"};
const FileFilter kContourFilter{"Contour files (*.gpkg *.geojson *.dxf)", "*.gpkg *.geojson *.dxf"};
const FileFilter kRasterFilter{"Raster grids (*.tif *.tiff *.asc *.grd *.nc)", "*.tif *.tiff *.asc *.grd *.nc"};

// Profile key of the coordinate system last given for an export.
constexpr const char* kCrsKey = "ExportCrs";

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

CommandStatus RenderView(CommandContext& c, const BatchLine& line) {
  int width = 1024, height = 768;
  for (auto [key, size] : {std::pair{"width", &width}, std::pair{"height", &height}}) {
    const std::string* text = line.Key(key);
    if (text && (!ParseInt(*text, *size) || *size <= 0 || *size > 20000)) {
      c.ui.Message(std::string("render: ") + key + " must be a number of pixels from 1 to 20000");
      return CommandStatus::Failed;
    }
  }
  if (line.argument.empty()) {
    c.ui.Message("render needs the path of a .png, .svg or .pdf file");
    return CommandStatus::Failed;
  }
  return c.view.RenderToFile(line.argument, width, height) ? CommandStatus::Done : CommandStatus::Failed;
}

}  // namespace

std::string PointSummary(bool secondary, const RandomData& data) {
  const char* format = secondary ? "Number of data (2nd variable)= %d\nX : min. = %f max. = %f\n"
                                   "Y : min. = %f max. = %f\nZ : min. = %f max. = %f"
                                 : "Number of data = %d\nX : min. = %f max. = %f\n"
                                   "Y : min. = %f max. = %f\nZ : min. = %f max. = %f";
  return fmt::sprintf(format, data.count, static_cast<double>(data.xMinimum), static_cast<double>(data.xMaximum),
                      static_cast<double>(data.yMinimum), static_cast<double>(data.yMaximum),
                      static_cast<double>(data.zMinimum), static_cast<double>(data.zMaximum));
}

CommandStatus OpenDocumentFile(CommandContext& c, const std::string& path) {
  const DocumentReadResult result = ReadDocumentFile(c.doc, path, c.ui);
  if (result.status != ReadStatus::Read)
    return result.status == ReadStatus::Canceled ? CommandStatus::Canceled : CommandStatus::Failed;
  c.view.AddRecentFile(path);
  c.view.SetTitle(FileNameOf(path));
  if (result.updateViews) c.view.UpdateAllViews();
  return CommandStatus::Done;
}

void RegisterFileCommands(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kFile = "&File";
  const auto print = [](CommandContext& c) { return Result(c.view.Print()); };
  const auto whenGrid = [](const CommandContext& c, CommandState& s) { s.enabled = GridShown(c); };

  // File > New empties the document as Delete all data does (the window has asked
  // whether to save the changes first).
  table.Add({.id = ID_FILE_NEW,
             .owner = O::Application,
             .run =
                 [](CommandContext& c) {
                   c.doc.DeleteAllData();
                   c.doc.pathName.clear();
                   c.view.SetTitle("");
                   c.view.Invalidate();
                   return CommandStatus::Done;
                 },
             .menu = {kFile, "&New\tCtrl+N"},
             .shortcuts = {"Ctrl+N"},
             .prompt = "Create a new document\nNew",
             .batch = {.name = "new"}});
  table.Add({.id = ID_FILE_OPEN,
             .owner = O::Application,
             .run = Open,
             .menu = {kFile, "&Open (.snp or .csv)...\tCtrl+O"},
             .toolbar = {2, "open"},
             .shortcuts = {"Ctrl+O"},
             .prompt = "Open an existing document\nOpen",
             // A CSV table asks how it becomes a grid.
             .batch = {.name = "open", .keys = Keys(CsvImportDialog{}, "cancel"), .takesArgument = true}});
  table.Add({.id = ID_FILE_SAVE,
             .owner = O::Document,
             .run = Save,
             .menu = {kFile, "&Save\tCtrl+S"},
             .toolbar = {3, "save"},
             .shortcuts = {"Ctrl+S"},
             .prompt = "Save the active document\nSave"});
  table.Add({.id = ID_FILE_SAVE_AS,
             .owner = O::Document,
             .run = SaveAs,
             .menu = {kFile, "Save &As..."},
             .prompt = "Save the active document with a new name\nSave As",
             .batch = {.name = "save", .takesArgument = true}});

  table.Add({.id = ID_OPEN_RANDOM_DATA,
             .owner = O::Document,
             .run = OpenRandomData,
             .menu = {kFile, "Open space delimited random data (X,Y,Z)", kSeparatorBefore},
             .batch = {.name = "open-random",
                       .keys = Keys(ImportSelectionDialog{}, "cancel"),
                       .takesArgument = true,
                       .refuseLine = RefuseImportWithoutPoints}});
  table.Add({.id = ID_SAVE_STANDARD_XML,
             .owner = O::Document,
             .run = SaveStandardXml,
             .update = WhenGridLargerThan(1),
             .menu = {kFile, "Save standard XML file"},
             .batch = {.name = "save-xml", .keys = {"answer"}, .takesArgument = true}});
  table.Add({.id = ID_SAVE_CSV,
             .owner = O::View,
             .run = SaveCsv,
             .update = WhenGridLargerThan(0),
             .menu = {kFile, "Save CSV file"},
             .batch = {.name = "save-csv", .takesArgument = true}});

  table.AddSubmenu({kFile, "Advanced options", kSeparatorBefore});
  table.Add({.id = ID_OPEN_PWRI,
             .owner = O::Document,
             .run = OpenPwriData,
             .menu = {"&File/Advanced options", "Open PWRI grid data"},
             .batch = {.name = "open-pwri", .takesArgument = true}});

  table.Add({.id = ID_FILE_PRINT,
             .owner = O::View,
             .run = print,
             .menu = {kFile, "&Print...\tCtrl+P", kSeparatorBefore},
             .toolbar = {7, "print", "", kSeparatorBefore},
             .shortcuts = {"Ctrl+P"},
             .prompt = "Print the active document\nPrint",
             .batch = {.name = "print", .takesArgument = true}});
  table.Add({.id = ID_FILE_PRINT_SETUP,
             .owner = O::Application,
             .run = [](CommandContext& c) { return Result(c.view.PrintSetup()); },
             .menu = {kFile, "P&rint Setup..."},
             .prompt = "Change the printer and printing options\nPrint Setup"});
  table.Add({.id = ID_FILE_PRINT_PREVIEW,
             .owner = O::View,
             .run = [](CommandContext& c) { return Result(c.view.PrintPreview()); },
             .menu = {kFile, "Print Pre&view"},
             .prompt = "Display full pages\nPrint Preview"});
  table.Add({.id = ID_FILE_PRINT_DIRECT, .owner = O::View, .run = print});

  table.AddRecentFiles({kFile, "Recent File", kSeparatorBefore});

  table.Add({.id = ID_EXPORT_GRID,
             .owner = O::View,
             .run = ExportGridFile,
             .update = whenGrid,
             .menu = {kFile, "Export grid...", kSeparatorBefore},
             .batch = {.name = "export-grid", .keys = Keys(ExportGridDialog{}, "cancel"), .takesArgument = true}});
  table.Add(
      {.id = ID_EXPORT_CONTOURS,
       .owner = O::View,
       .run = ExportContourFile,
       .update = whenGrid,
       .menu = {kFile, "Export contours..."},
       .batch = {.name = "export-contours", .keys = Keys(ExportContoursDialog{}, "cancel"), .takesArgument = true}});
  table.Add({.id = ID_OPEN_RASTER,
             .owner = O::Document,
             .run = OpenRaster,
             .menu = {kFile, "Open raster grid..."},
             .batch = {.name = "open-raster", .takesArgument = true}});

  // The script's own way out: the view drawn into a picture file.
  table.AddBatch({.name = "render", .keys = {"width", "height"}, .direct = RenderView, .takesArgument = true});
}

// Registered after every room of commands, so that Exit closes the File menu.
void RegisterExitCommand(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kFile = "&File";
  table.Add({.id = ID_APP_EXIT,
             .owner = O::Application,
             .run =
                 [](CommandContext& c) {
                   c.view.Exit();
                   return CommandStatus::Done;
                 },
             .menu = {kFile, "E&xit", kSeparatorBefore},
             .prompt = "Quit the application; prompts to save documents\nExit"});
}

}  // namespace gridora

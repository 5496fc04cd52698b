#pragma once
// GDAL, and the hundred libraries it brings, is loaded only when a GIS file is read or
// written: the code of exchange/ that includes GDAL (exchange/gdal/) is the module
// gridora_gdal.so, opened with dlopen on first use. Loading GDAL with the program
// would cost every start, the batch mode's and the command line's too, most of its time.
// The functions the headers of exchange/ declare keep their names and places; those that
// need GDAL forward to the module's table of entries.
//
// The module is looked for beside the executable or library that holds this code, then
// where `cmake --install` puts it relative to the installed program, then where the
// build wrote it, then where `cmake --install` puts it. When none loads, every
// function that needed it fails with a message that says so; nothing else changes.
//
// The module takes in its own copy of the core libraries it stands on and shows nothing
// but its table: it shares no state with the caller but what the calls pass, and the
// memory reading, which it asks of the caller (so a reading a test puts in place holds
// in the module too).
#include <cstddef>
#include <string>
#include <vector>

#include "exchange/band_stack_export.h"
#include "exchange/contour_export.h"
#include "exchange/grid_export.h"
#include "exchange/polyline_import.h"
#include "exchange/raster_import.h"
#include "platform/memory_budget.h"

class OGRSpatialReference;

namespace gridora {

// Raised when the table below changes, so that a module of another build is refused.
inline constexpr int kGdalModuleVersion = 1;

// What the module offers: the functions of exchange/'s headers that need GDAL.
struct GdalModuleEntries {
  int version = kGdalModuleVersion;
  std::size_t size = sizeof(GdalModuleEntries);
  void (*ensureGdalDrivers)() = nullptr;
  bool (*parseCrs)(const std::string& text, OGRSpatialReference& reference, std::string& why) = nullptr;
  bool (*exportGrid)(const GridModel& grid, const GridExportRequest& request, std::vector<std::string>& written,
                     std::string& problem) = nullptr;
  bool (*exportBandStack)(const NodeLayout& layout, const float* values, int bands, const std::string& bandName,
                          const std::string& path, std::string& problem) = nullptr;
  bool (*exportContours)(const std::vector<ContourLine>& lines, const std::string& path, ContourFormat format,
                         const std::string& crs, std::string& problem) = nullptr;
  bool (*readGisLines)(const std::string& path, std::vector<Polyline>& lines, std::string& problem) = nullptr;
  bool (*readRasterGrid)(GridModel& grid, const std::string& path, std::string& problem) = nullptr;
  void (*setMemoryReading)(std::function<MemoryReading()> reading) = nullptr;
};

// The name of the module's file and of the one symbol it shows, a function returning
// its table.
inline constexpr const char* kGdalModuleFile = "gridora_gdal.so";
inline constexpr const char* kGdalModuleEntrySymbol = "GridoraGdalModuleEntries";
using GdalModuleEntryFunction = const GdalModuleEntries* (*)();

// The places the module is looked for, in order (see above).
std::vector<std::string> GdalModuleCandidates();

// Opens the first of `candidates` that loads and is a module of this build. Null when
// none is: `problem` then says, for the user, what was tried and why each failed.
const GdalModuleEntries* OpenGdalModule(const std::vector<std::string>& candidates, std::string& problem);

// The module's table, opened on the first call (from GdalModuleCandidates()); later
// calls answer at once. Null when it cannot be loaded, with `problem` as above.
const GdalModuleEntries* GdalModule(std::string& problem);

}  // namespace gridora

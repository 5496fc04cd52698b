#include "exchange/gdal_module.h"

#include <dlfcn.h>

#include <fmt/printf.h>

#include <filesystem>
#include <mutex>
#include <system_error>

#include "exchange/crs_text.h"
#include "exchange/gdal_session.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

// The folder of the executable or shared library this code was linked into: the
// program, or the Python module.
std::string OwnFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&GdalModuleCandidates), &info) != 0 && info.dli_fname &&
      std::string(info.dli_fname).find('/') != std::string::npos) {
    std::error_code error;
    const fs::path file = fs::canonical(info.dli_fname, error);
    if (!error) return file.parent_path().string();
  }
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

struct LoadedModule {
  const GdalModuleEntries* entries = nullptr;
  std::string problem;
};

const LoadedModule& TheModule() {
  static const LoadedModule loaded = [] {
    LoadedModule module;
    module.entries = OpenGdalModule(GdalModuleCandidates(), module.problem);
    return module;
  }();
  return loaded;
}

}  // namespace

std::vector<std::string> GdalModuleCandidates() {
  std::vector<std::string> candidates;
  auto add = [&candidates](const std::string& path) {
    if (path.empty()) return;
    for (const std::string& c : candidates)
      if (c == path) return;
    candidates.push_back(path);
  };
  const std::string folder = OwnFolder();
  if (!folder.empty()) add((fs::path(folder) / kGdalModuleFile).string());
#ifdef GRIDORA_GDAL_MODULE_FROM_BIN
  // An installed program moved with its prefix: the module where the install put it
  // relative to the program.
  if (!folder.empty()) add((fs::path(folder) / GRIDORA_GDAL_MODULE_FROM_BIN).lexically_normal().string());
#endif
#ifdef GRIDORA_GDAL_MODULE_BUILT
  add(GRIDORA_GDAL_MODULE_BUILT);
#endif
#ifdef GRIDORA_GDAL_MODULE_INSTALLED
  add(GRIDORA_GDAL_MODULE_INSTALLED);
#endif
  return candidates;
}

const GdalModuleEntries* OpenGdalModule(const std::vector<std::string>& candidates, std::string& problem) {
  std::string tried;
  for (const std::string& path : candidates) {
    std::error_code error;
    if (!fs::exists(path, error)) continue;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = ::dlerror();
      tried += fmt::sprintf(" %s: %s.", path, why ? why : "it does not load");
      continue;
    }
    // Kept open for the life of the process: the drivers GDAL registered live in it.
    const auto entry = reinterpret_cast<GdalModuleEntryFunction>(::dlsym(handle, kGdalModuleEntrySymbol));
    const GdalModuleEntries* entries = entry ? entry() : nullptr;
    if (!entries || entries->version != kGdalModuleVersion || entries->size != sizeof(GdalModuleEntries)) {
      tried += fmt::sprintf(" %s: it is not the GDAL module of this version of Gridora.", path);
      continue;
    }
    entries->setMemoryReading(&CurrentMemoryReading);
    return entries;
  }
  if (tried.empty()) {
    std::string places;
    for (const std::string& path : candidates) places += (places.empty() ? "" : ", ") + path;
    tried = fmt::sprintf(" it was not found (looked for %s).", places.empty() ? std::string("nowhere") : places);
  }
  problem = fmt::sprintf("the GDAL support of Gridora (%s) could not be loaded:%s Reinstalling Gridora brings it back.",
                         kGdalModuleFile, tried);
  return nullptr;
}

const GdalModuleEntries* GdalModule(std::string& problem) {
  const LoadedModule& module = TheModule();
  if (!module.entries) problem = module.problem;
  return module.entries;
}

// The functions of exchange/'s headers that need GDAL, forwarded to the module.

void EnsureGdalDrivers() {
  std::string problem;
  if (const GdalModuleEntries* gdal = GdalModule(problem)) gdal->ensureGdalDrivers();
}

bool ParseCrs(const std::string& text, OGRSpatialReference& reference, std::string& why) {
  const GdalModuleEntries* gdal = GdalModule(why);
  if (!gdal) why = "the coordinate reference system cannot be read: " + why;
  return gdal && gdal->parseCrs(text, reference, why);
}

bool ExportGrid(const GridModel& grid, const GridExportRequest& request, std::vector<std::string>& written,
                std::string& problem) {
  written.clear();
  const GdalModuleEntries* gdal = GdalModule(problem);
  if (!gdal) problem = fmt::sprintf("Cannot write %s: %s", request.path, problem);
  return gdal && gdal->exportGrid(grid, request, written, problem);
}

bool ExportBandStack(const NodeLayout& layout, const float* values, int bands, const std::string& bandName,
                     const std::string& path, std::string& problem) {
  const GdalModuleEntries* gdal = GdalModule(problem);
  if (!gdal) problem = fmt::sprintf("Cannot write %s: %s", path, problem);
  return gdal && gdal->exportBandStack(layout, values, bands, bandName, path, problem);
}

bool ExportContours(const std::vector<ContourLine>& lines, const std::string& path, ContourFormat format,
                    const std::string& crs, std::string& problem) {
  const GdalModuleEntries* gdal = GdalModule(problem);
  if (!gdal) problem = fmt::sprintf("Cannot write %s: %s", path, problem);
  return gdal && gdal->exportContours(lines, path, format, crs, problem);
}

bool ReadGisLines(const std::string& path, std::vector<Polyline>& lines, std::string& problem) {
  const GdalModuleEntries* gdal = GdalModule(problem);
  if (!gdal) problem = fmt::sprintf("Cannot read lines from %s: %s", path, problem);
  return gdal && gdal->readGisLines(path, lines, problem);
}

bool ReadRasterGrid(GridModel& grid, const std::string& path, std::string& problem) {
  const GdalModuleEntries* gdal = GdalModule(problem);
  if (!gdal) problem = fmt::sprintf("Cannot open %s as a raster: %s", path, problem);
  return gdal && gdal->readRasterGrid(grid, path, problem);
}

}  // namespace gridora

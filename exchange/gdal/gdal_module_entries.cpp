// The one symbol the GDAL module shows (exchange/gdal_module.h): its table of entries,
// each the function of exchange/'s headers as this module defines it.
#include "exchange/crs_text.h"
#include "exchange/gdal_module.h"
#include "exchange/gdal_session.h"

extern "C" __attribute__((visibility("default"))) const gridora::GdalModuleEntries* GridoraGdalModuleEntries() {
  static const gridora::GdalModuleEntries entries = [] {
    gridora::GdalModuleEntries table;
    table.ensureGdalDrivers = &gridora::EnsureGdalDrivers;
    table.parseCrs = &gridora::ParseCrs;
    table.exportGrid = &gridora::ExportGrid;
    table.exportBandStack = &gridora::ExportBandStack;
    table.exportContours = &gridora::ExportContours;
    table.readGisLines = &gridora::ReadGisLines;
    table.readRasterGrid = &gridora::ReadRasterGrid;
    table.setMemoryReading = &gridora::SetMemoryReading;
    return table;
  }();
  return &entries;
}

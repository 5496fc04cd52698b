#pragma once
// Kriging with external drift at the end of the Interpolation menu: "Add drift raster"
// reads a raster through the confined raster reader into the document's drift rasters
// (kept for the session, not in the document file); "Clear drift" drops them. The next
// "Variogram" takes them as drift functions beside the constant (and the polynomial of
// the kriging options' drift, when that is set too).
namespace gridora {

class CommandTable;

void RegisterDriftCommands(CommandTable& table);

}  // namespace gridora

#pragma once
// Interpolation menu, after the kriging items: directional variograms, the variogram map
// and its proposed anisotropy, and the sequential Gaussian simulation.
namespace gridora {

class CommandTable;

void RegisterVariographyCommands(CommandTable& table);

}  // namespace gridora

#pragma once
// The Grid menu: work on a finished grid. Grid math with a constant or a second grid,
// the volume to a level or a lower surface, the smoothing filters and the residuals of
// the points against the grid (batch names grid-math, volume, filter, residuals).
namespace gridora {

class CommandTable;

// The menu's title, for every room that adds items to it.
inline constexpr const char* kGridMenu = "&Grid";

void RegisterGridCommands(CommandTable& table);

}  // namespace gridora

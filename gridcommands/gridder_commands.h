#pragma once
// The quick gridders in the Interpolation menu, after its first items: "Inverse
// distance", "Nearest point" and "Linear (triangulation)". Each asks its options, then
// runs the same gridding steps as minimum curvature (commands/gridding_run.h): the layout
// dialogs, the memory refusal, the grid built aside with progress and cancel, and the
// hand-over only when the run completes. Nodes a gridder leaves without a value are
// marked in the grid's empty-node mask (GridModel::emptyNodes) and hidden on the map
// and in the exports.
namespace gridora {

class CommandTable;

void RegisterGridderCommands(CommandTable& table);

}  // namespace gridora

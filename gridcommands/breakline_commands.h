#pragma once
// Faults of minimum curvature in the Interpolation menu, after the quick gridders:
// "Faults (breaklines)..." reads lines from a GeoPackage, GeoJSON, Shapefile, DXF or
// plain text file (x y per line, a blank line between lines) into the document, in place
// of any before; "Clear faults" removes them. Minimum curvature then leaves out every
// term of its surface that couples nodes on opposite sides of a line
// (surface/fault_cuts.h), and the map draws them.
namespace gridora {

class CommandTable;

void RegisterBreaklineCommands(CommandTable& table);

}  // namespace gridora

#pragma once
// Each group of commands registers itself into the table from its own file.
namespace gridora {

class CommandTable;

void RegisterFrameCommands(CommandTable& table);           // frame_commands.cpp
void RegisterViewCommands(CommandTable& table);            // view_commands.cpp
void RegisterFileCommands(CommandTable& table);            // file_commands.cpp
void RegisterInterpolationCommands(CommandTable& table);   // interpolation_commands.cpp
void RegisterKrigingCommands(CommandTable& table);         // kriging_commands.cpp
void RegisterKrigingOptionsCommands(CommandTable& table);  // kriging_options_commands.cpp
void RegisterColorCommands(CommandTable& table);           // color_commands.cpp
void RegisterExportCommands(CommandTable& table);          // export_commands.cpp
void RegisterGisExportCommands(CommandTable& table);       // gis_export_commands.cpp
void RegisterPointTableCommands(CommandTable& table);      // point_table_commands.cpp
void RegisterSurfaceOptionsCommands(CommandTable& table);  // surface_options.cpp

}  // namespace gridora

#pragma once
// View > Map style... (batch `map-style`), File > Export layout... (batch
// `export-layout`) and Help > User guide.
namespace gridora {

class CommandTable;

void RegisterStyleCommands(CommandTable& table);  // View > Map style..., File > Export layout...
void RegisterGuideCommand(CommandTable& table);   // Help > User guide (after About)

}  // namespace gridora

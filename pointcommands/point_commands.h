#pragma once
// The points as data: Data > Points table (list, sort, delete), the batch command
// `delete-points`, and View > Point labels (the labels beside the markers).
namespace gridora {

class CommandTable;

void RegisterPointCommands(CommandTable& table);

}  // namespace gridora

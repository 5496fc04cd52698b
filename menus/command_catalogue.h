#pragma once
// Every command of the program in one table: the menus of the first releases
// (commands/) and the rooms added beside them, each registering its own.
#include "commands/command_table.h"

namespace gridora {

// The table with every command of the program.
CommandTable BuildCommandTable();

}  // namespace gridora

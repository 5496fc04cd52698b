#include "commands/command_table.h"

#include <fmt/format.h>

#include <new>
#include <stdexcept>

#include "commands/command_modules.h"
#include "platform/user_interface.h"

namespace gridora {

void CommandTable::Add(CommandEntry entry) {
  const int id = entry.id;
  for (const auto& owner : byOwner_)
    if (owner.count(id)) throw std::logic_error(fmt::format("command id {} is registered twice", id));
  byOwner_[static_cast<int>(entry.owner)][id] = std::move(entry);
}

bool CommandTable::IsCheckable(int id) const {
  for (const auto& owner : byOwner_) {
    auto found = owner.find(id);
    if (found != owner.end()) return found->second.checkable;
  }
  return false;
}

BatchCommand& CommandTable::AddBatch(BatchCommand command) {
  batch_.push_back(std::move(command));
  return batch_.back();
}

const CommandEntry* CommandTable::Route(int id) const {
  for (const auto& owner : byOwner_) {
    auto found = owner.find(id);
    if (found != owner.end() && found->second.run) return &found->second;
  }
  return nullptr;
}

CommandState CommandTable::State(int id, const CommandContext& context) const {
  CommandState state;
  const CommandEntry* entry = Route(id);
  if (!entry) {
    state.enabled = false;
    return state;
  }
  if (entry->update) entry->update(context, state);
  return state;
}

CommandStatus CommandTable::Execute(int id, CommandContext& context) const {
  const CommandEntry* entry = Route(id);
  if (!entry) return CommandStatus::Failed;
  CommandState state;
  if (entry->update) entry->update(context, state);
  if (!state.enabled) return CommandStatus::Failed;
  // Handlers build new data beside the old and swap it in at the end, so a command that
  // runs out of memory leaves the document as it was.
  try {
    return entry->run(context);
  } catch (const std::bad_alloc&) {
    context.ui.Message("Not enough memory to complete this command. The data are unchanged.");
    return CommandStatus::Failed;
  }
}

const BatchCommand* CommandTable::FindBatch(const std::string& name) const {
  for (const auto& command : batch_)
    if (command.name == name) return &command;
  return nullptr;
}

CommandTable BuildCommandTable() {
  CommandTable table;
  RegisterFileCommands(table);
  RegisterViewCommands(table);
  RegisterEditCommands(table);
  RegisterDataCommands(table);
  RegisterInterpolationCommands(table);
  RegisterKrigingCommands(table);
  RegisterHelpCommands(table);
  RegisterToolbarCommands(table);
  RegisterKeyCommands(table);
  return table;
}

}  // namespace gridora

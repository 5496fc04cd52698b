#include "commands/command_table.h"

#include <fmt/format.h>

#include <new>
#include <stdexcept>

#include "platform/user_interface.h"

namespace gridora {

void CommandTable::Add(CommandEntry entry) {
  const int id = entry.id;
  for (const auto& owner : byOwner_)
    if (owner.count(id)) throw std::logic_error(fmt::format("command id {} is registered twice", id));
  const int position = entry.toolbar.position;
  if (position != 0 && !toolbarPositions_.insert(position).second)
    throw std::logic_error(fmt::format("toolbar position {} is taken twice (command id {})", position, id));
  if (!entry.menu.menu.empty()) menuItems_.push_back({MenuDeclaration::Command, id, entry.menu});
  if (!entry.batch.name.empty()) {
    entry.batch.commandId = id;
    AddBatch(std::move(entry.batch));
    entry.batch = {};
  }
  ids_.push_back(id);
  byOwner_[static_cast<int>(entry.owner)][id] = std::move(entry);
}

void CommandTable::AddBatch(BatchCommand command) { batch_.push_back(std::move(command)); }

void CommandTable::AddSubmenu(MenuPlace place) {
  menuItems_.push_back({MenuDeclaration::Submenu, 0, std::move(place)});
}

void CommandTable::AddRecentFiles(MenuPlace place) {
  menuItems_.push_back({MenuDeclaration::RecentFiles, 0, std::move(place)});
}

const CommandEntry* CommandTable::Find(int id) const {
  for (const auto& owner : byOwner_) {
    auto found = owner.find(id);
    if (found != owner.end()) return &found->second;
  }
  return nullptr;
}

bool CommandTable::IsCheckable(int id) const {
  const CommandEntry* entry = Find(id);
  return entry && entry->checkable;
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
  return RunObserved(id, context, [&] {
    try {
      return entry->run(context);
    } catch (const std::bad_alloc&) {
      context.ui.Message("Not enough memory to complete this command. The data are unchanged.");
      return CommandStatus::Failed;
    }
  });
}

CommandStatus CommandTable::RunObserved(int id, CommandContext& context,
                                        const std::function<CommandStatus()>& run) const {
  if (!observer_) return run();
  observer_->Before(id, context);
  CommandStatus status = CommandStatus::Failed;
  try {
    status = run();
  } catch (...) {
    observer_->After(id, context, CommandStatus::Failed);
    throw;
  }
  observer_->After(id, context, status);
  return status;
}

void CommandTable::SetHandler(int id, CommandHandler run, UpdateRule update) {
  for (auto& owner : byOwner_) {
    auto found = owner.find(id);
    if (found == owner.end()) continue;
    if (found->second.run) throw std::logic_error(fmt::format("command id {} has a handler already", id));
    found->second.run = std::move(run);
    found->second.update = std::move(update);
    return;
  }
  throw std::logic_error(fmt::format("command id {} is not declared", id));
}

const BatchCommand* CommandTable::FindBatch(const std::string& name) const {
  for (const auto& command : batch_)
    if (command.name == name) return &command;
  return nullptr;
}

}  // namespace gridora

#include "commands/key_commands.h"

#include <cmath>

#include "commands/batch_line.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

const double kRootTwo = std::sqrt(2.0);

float Times(float scale, double factor) { return static_cast<float>(static_cast<double>(scale) * factor); }
float Divided(float scale, double factor) { return static_cast<float>(static_cast<double>(scale) / factor); }

}  // namespace

bool OnViewKeyDown(CommandContext& c, ViewKey key) {
  if (key == ViewKey::Other) return false;
  GridModel& grid = *c.doc.grid;
  const bool up = key == ViewKey::Up;
  grid.scaleX = up ? Times(grid.scaleX, kRootTwo) : Divided(grid.scaleX, kRootTwo);
  grid.scaleY = up ? Times(grid.scaleY, kRootTwo) : Divided(grid.scaleY, kRootTwo);
  c.doc.SaveScaleSettings();
  c.view.Invalidate();
  return true;
}

void RegisterKeyCommands(CommandTable& table) {
  table.AddBatch({"key-up", 0, {}, {}, [](CommandContext& c, const BatchLine&) {
                    OnViewKeyDown(c, ViewKey::Up);
                    return CommandStatus::Done;
                  }});
  table.AddBatch({"key-down", 0, {}, {}, [](CommandContext& c, const BatchLine&) {
                    OnViewKeyDown(c, ViewKey::Down);
                    return CommandStatus::Done;
                  }});
}

}  // namespace gridora

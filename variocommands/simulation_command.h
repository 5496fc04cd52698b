#pragma once
// Interpolation > Sequential Gaussian simulation (batch "simulate").
namespace gridora {

class CommandTable;

void RegisterSimulationCommand(CommandTable& table);

}  // namespace gridora

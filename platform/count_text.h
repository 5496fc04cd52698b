#pragma once
// Counts written for people: "1,200,000".
#include <cstdint>
#include <string>

namespace gridora {

std::string GroupedCount(std::uint64_t count);

}  // namespace gridora

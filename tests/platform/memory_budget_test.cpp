#include <gtest/gtest.h>

#include <random>
#include <string>

#include "geostat/kriging_checks.h"
#include "platform/memory_budget.h"
#include "support/fake_memory.h"

namespace gridora {
namespace {

using test::kGiB;
constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

TEST(MemoryBudget, LeavesAQuarterAndAtLeast512MBOfTheSmallestHeadroom) {
  struct Case {
    const char* what;
    MemoryReading reading;
    std::optional<std::uint64_t> spare;
  } cases[] = {
      {"a large machine: a quarter stays free", {23 * kGiB, {}, {}}, 23 * kGiB - 23 * kGiB / 4},
      {"a small machine: the floor stays free", {1 * kGiB, {}, {}}, 512 * kMiB},
      {"less than the floor", {300 * kMiB, {}, {}}, 0},
      {"the container's limit is the smaller", {23 * kGiB, 4 * kGiB, {}}, 3 * kGiB},
      {"the address-space limit is the smaller", {23 * kGiB, 8 * kGiB, 2 * kGiB}, 1536 * kMiB},
      {"only a container limit is known", {{}, 8 * kGiB, {}}, 6 * kGiB},
      {"nothing known: no refusal", {{}, {}, {}}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(SpareMemory(c.reading), c.spare) << c.what;
}

TEST(MemoryBudget, AJobThatFitsOnlyWithoutTheMarginIsRefused) {
  // 21 GB asked on a machine with 23 GB available: the guard once let such jobs through.
  const test::FakeMemory memory({23 * kGiB, {}, {}});
  const auto message = CheckMemory("Kriging 50000 data points", 21.0 * static_cast<double>(kGiB));
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("needs about 21.0 GB of memory for its matrices, more than the 17.2 GB this computer can "
                          "spare now"),
            std::string::npos)
      << *message;
  EXPECT_FALSE(CheckMemory("Kriging 50000 data points", 17.0 * static_cast<double>(kGiB)));
  // A container limit below the machine's memory counts.
  const test::FakeMemory container({23 * kGiB, 2 * kGiB, {}});
  EXPECT_TRUE(CheckMemory("Kriging 5000 data points", 1.6 * static_cast<double>(kGiB)));
}

// Parses "12.3 GB" or "456 MB" back to bytes.
double ShownBytes(const std::string& text) {
  const double number = std::stod(text);
  return number * (text.find("GB") != std::string::npos ? 1024.0 * 1024.0 * 1024.0 : 1024.0 * 1024.0);
}

TEST(MemoryBudget, TheNeedShownIsAlwaysLargerThanTheSpareMemoryShown) {
  std::mt19937_64 random(11);
  std::uniform_int_distribution<std::uint64_t> bytes(1, 64 * kGiB);
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t spare = bytes(random), need = bytes(random);
    if (need == spare) continue;
    if (need < spare) std::swap(need, spare);
    ASSERT_GT(ShownBytes(NeededMemoryText(need)), ShownBytes(SpareMemoryText(spare)))
        << NeededMemoryText(need) << " vs " << SpareMemoryText(spare);
  }
  // Around the unit boundary too.
  EXPECT_EQ(NeededMemoryText(1024 * kMiB + 1), "1.1 GB");
  EXPECT_EQ(SpareMemoryText(1024 * kMiB - 1), "1023 MB");
}

TEST(MemoryBudget, ThisMachineReportsItsAvailableMemory) {
  const MemoryReading reading = ReadMemory();
  ASSERT_TRUE(reading.available);
  EXPECT_GT(*reading.available, 0u);
  ASSERT_TRUE(SpareMemory(reading));
  EXPECT_LT(*SpareMemory(reading), *reading.available);
}

}  // namespace
}  // namespace gridora

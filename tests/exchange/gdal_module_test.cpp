#include "exchange/gdal_module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace gridora {
namespace {

namespace fs = std::filesystem;

// A module that cannot be loaded is a message naming what was tried, never a crash.
TEST(GdalModuleTest, RefusesWhatIsNotTheModule) {
  const fs::path folder = fs::path(::testing::TempDir()) / "gdal_module_test";
  fs::create_directories(folder);
  const fs::path text = folder / "gridora_gdal.so";
  std::ofstream(text) << "not a shared library\n";
  const std::string missing = (folder / "missing" / "gridora_gdal.so").string();

  struct Case {
    std::vector<std::string> candidates;
    std::string expected;  // in the problem text
  };
  const std::vector<Case> cases = {
      {{}, "not found"},
      {{missing}, missing},
      {{text.string()}, text.string()},
      {{missing, text.string()}, text.string()},
  };
  for (const Case& c : cases) {
    std::string problem;
    EXPECT_EQ(OpenGdalModule(c.candidates, problem), nullptr);
    EXPECT_NE(problem.find("could not be loaded"), std::string::npos) << problem;
    EXPECT_NE(problem.find(c.expected), std::string::npos) << problem;
  }
  fs::remove_all(folder);
}

// The module of this build is found, is of this version, and its entries are filled.
TEST(GdalModuleTest, LoadsTheModuleOfThisBuild) {
  std::string problem;
  const GdalModuleEntries* entries = GdalModule(problem);
  ASSERT_NE(entries, nullptr) << problem;
  EXPECT_EQ(entries->version, kGdalModuleVersion);
  EXPECT_TRUE(entries->ensureGdalDrivers && entries->parseCrs && entries->exportGrid && entries->exportBandStack &&
              entries->exportContours && entries->readGisLines && entries->readRasterGrid && entries->setMemoryReading);
  // A second opening of the same file gives the same table (dlopen counts, loads once).
  EXPECT_EQ(OpenGdalModule(GdalModuleCandidates(), problem), entries);
}

}  // namespace
}  // namespace gridora

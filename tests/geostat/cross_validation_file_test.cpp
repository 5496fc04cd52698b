// cross_validation.csv has a fixed name in the data folder: what is planted under that
// name (a link to the user's file, a FIFO, a second name of another file) is refused
// with a message and never written through.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "geostat/cross_validation.h"
#include "support/test_support.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

TEST(CrossValidationFile, APlantedNameIsRefusedAndItsTargetKept) {
  const struct {
    const char* what;
    void (*plant)(const fs::path& name, const fs::path& victim);
  } plants[] = {
      {"symbolic link", [](const fs::path& name, const fs::path& victim) { fs::create_symlink(victim, name); }},
      {"second name", [](const fs::path& name, const fs::path& victim) { fs::create_hard_link(victim, name); }},
      {"FIFO", [](const fs::path& name, const fs::path&) { ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0); }},
  };
  CrossValidation cv;
  cv.points.push_back({1.0, 2.0, 3.0, 3.5, -0.5, 0.25, -2.0});
  for (const auto& p : plants) {
    test::TempFolder folder;
    const fs::path victim = folder / "victim.txt", name = folder / "cross_validation.csv";
    test::WriteFileBytes(victim, "the user's own file\n");
    p.plant(name, victim);
    std::string problem;
    EXPECT_FALSE(WriteCrossValidationCsv(cv, name, problem)) << p.what;
    EXPECT_NE(problem.find("Cannot write " + name.string()), std::string::npos) << p.what << ": " << problem;
    EXPECT_EQ(test::ReadFileBytes(victim), "the user's own file\n") << p.what;
  }
  // A plain file there is replaced as before.
  test::TempFolder folder;
  test::WriteFileBytes(folder / "cross_validation.csv", "old");
  std::string problem;
  ASSERT_TRUE(WriteCrossValidationCsv(cv, folder / "cross_validation.csv", problem)) << problem;
  EXPECT_EQ(test::ReadFileBytes(folder / "cross_validation.csv").rfind("x,y,observed", 0), 0u);
}

}  // namespace
}  // namespace gridora

#include "platform/diagnostic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/replacing_file.h"
#include "support/current_folder.h"
#include "support/test_support.h"

namespace gridora {
namespace {

TEST(DiagnosticFile, OverwritesWithCrLfAndLeavesNoTailOfALongerRun) {
  test::InTempFolder here;
  {
    DiagnosticFile log("DrawMap.txt");
    ASSERT_TRUE(log.IsOpen());
    log.Printf("kx = %d ky = %d\n", 300, 200);
    log.Printf("%f %f \n", 1.5f, 2.0);
  }
  EXPECT_EQ(here.Read("DrawMap.txt"), "kx = 300 ky = 200\r\n1.500000 2.000000 \r\n");
  {
    DiagnosticFile log("DrawMap.txt");
    log.Printf("nx = %d\n", 3);
  }
  EXPECT_EQ(here.Read("DrawMap.txt"), "nx = 3\r\n");
  { DiagnosticFile empty("DrawMap.txt"); }
  EXPECT_EQ(here.Read("DrawMap.txt"), "");
}

TEST(DiagnosticFile, AFileThatCannotBeOpenedIsSkipped) {
  test::InTempFolder here;
  std::filesystem::create_directory(here.folder() / "Legend.txt");
  DiagnosticFile log("Legend.txt");
  EXPECT_FALSE(log.IsOpen());
  log.Printf("%d\n", 1);  // nothing happens
}

TEST(DiagnosticFile, ANameThatIsNotAPlainFileOfItsOwnIsRefused) {
  test::InTempFolder here;
  const auto victim = here.folder() / "victim.txt";
  test::WriteFileBytes(victim, "keep");
  std::filesystem::create_symlink(victim, here.folder() / "link.txt");
  std::filesystem::create_hard_link(victim, here.folder() / "second-name.txt");
  ASSERT_EQ(::mkfifo((here.folder() / "fifo.txt").c_str(), 0600), 0);
  for (const char* name : {"link.txt", "second-name.txt", "fifo.txt"}) {
    DiagnosticFile log(name);
    EXPECT_FALSE(log.IsOpen()) << name;
    log.Printf("%d\n", 1);
  }
  EXPECT_EQ(test::ReadFileBytes(victim), "keep");

  // The replacing writer refuses the same names for a fixed-name result file.
  for (const char* name : {"link.txt", "second-name.txt", "fifo.txt"}) {
    ReplacingFile file(here.folder() / name, ReplacingFile::Name::Fixed);
    EXPECT_FALSE(file.Open()) << name;
    EXPECT_FALSE(file.Error().empty()) << name;
  }
  EXPECT_EQ(test::ReadFileBytes(victim), "keep");
}

}  // namespace
}  // namespace gridora

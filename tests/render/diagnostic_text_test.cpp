#include "render/diagnostic_text.h"

#include <gtest/gtest.h>

#include "render_fixture.h"

namespace gridora {
namespace {

TEST(DiagnosticText, OverwritesWithCrLfAndLeavesNoTailOfALongerRun) {
  test::InTempFolder here;
  {
    DiagnosticText log("DrawMap.txt");
    ASSERT_TRUE(log.IsOpen());
    log.Printf("kx = %d ky = %d\n", 300, 200);
    log.Printf("%f %f \n", 1.5f, 2.0);
  }
  EXPECT_EQ(here.Read("DrawMap.txt"), "kx = 300 ky = 200\r\n1.500000 2.000000 \r\n");
  {
    DiagnosticText log("DrawMap.txt");
    log.Printf("nx = %d\n", 3);
  }
  EXPECT_EQ(here.Read("DrawMap.txt"), "nx = 3\r\n");
  { DiagnosticText empty("DrawMap.txt"); }
  EXPECT_EQ(here.Read("DrawMap.txt"), "");
}

TEST(DiagnosticText, AFileThatCannotBeOpenedIsSkipped) {
  test::InTempFolder here;
  std::filesystem::create_directory(here.folder() / "Legend.txt");
  DiagnosticText log("Legend.txt");
  EXPECT_FALSE(log.IsOpen());
  log.Printf("%d\n", 1);  // nothing happens
}

}  // namespace
}  // namespace gridora

// The area dialog of the gridding commands while the spacing is typed: the node counts
// follow, and a spacing the memory cannot hold is named in the dialog and refuses OK.
#include <gtest/gtest.h>

#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "support/current_folder.h"
#include "support/fake_memory.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora {
namespace {

TEST(AreaDialogWhileTyping, NodeCountsFollowTheSpacingAsTheRefreshButtonCountsThem) {
  struct Case {
    const char* dx;
    const char* dy;
    int nx, ny;  // counted by hand: extent / spacing, plus one, plus one more when it falls short
  };
  const Case cases[] = {{"10", "10", 11, 6}, {"3", "7", 35, 9}, {"100", "50", 2, 2}, {"0.5", "2.5", 201, 21}};
  for (const Case& c : cases) {
    GridSpacingDialog typed;
    typed.mode = 1;
    typed.W = 100.0f;
    typed.H = 50.0f;
    typed.dx = typed.dy = 1.0;
    ASSERT_TRUE(test::SetField(typed, "dx", c.dx));
    typed.OnFieldEdited(1007);
    ASSERT_TRUE(test::SetField(typed, "dy", c.dy));
    typed.OnFieldEdited(1008);
    EXPECT_EQ(typed.nx, c.nx) << c.dx;
    EXPECT_EQ(typed.ny, c.ny) << c.dy;
    // The button counts the same.
    GridSpacingDialog pressed = typed;
    pressed.nx = pressed.ny = 0;
    pressed.OnButton(GridSpacingDialog::kRefreshButton);
    EXPECT_EQ(pressed.nx, typed.nx);
    EXPECT_EQ(pressed.ny, typed.ny);
  }
}

TEST(AreaDialogWhileTyping, ASpacingTheMemoryCannotHoldIsNamedInTheDialogAndRefusesOk) {
  const test::FakeMemory memory({4 * test::kGiB, std::nullopt, std::nullopt});
  test::TempFolder folder;
  test::CurrentFolder inFolder{folder.Path()};  // the run writes its log there
  test::DocumentFixture f;
  RandomData& data = *f.doc->primaryData;
  data.StartRanges();
  for (const DataPoint& p : {DataPoint{0, 0, 5}, DataPoint{9000, 9000, 7}}) {
    data.points[static_cast<std::size_t>(data.count++)] = p;
    data.ExtendRanges(p);
  }
  std::string noticeAtOpen, noticeAfterTyping;
  f.ui.dialogHandlers.push_back([](DialogData&) { return true; });  // the origin as proposed
  f.ui.dialogHandlers.push_back([&](DialogData& d) {
    auto& area = dynamic_cast<GridSpacingDialog&>(d);
    noticeAtOpen = area.notice;  // 1 x 1 over 9000 x 9000: too much for 4 GiB
    test::SetField(area, "dx", "100");
    test::SetField(area, "dy", "100");
    area.OnFieldEdited(1008);
    noticeAfterTyping = area.notice;
    return true;
  });
  EXPECT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Done);
  EXPECT_EQ(noticeAtOpen.rfind("Cannot interpolate: a grid of 9001 x 9001 nodes needs about", 0), 0u) << noticeAtOpen;
  EXPECT_EQ(noticeAfterTyping, "");
  EXPECT_EQ(f.doc->grid->NX, 91);
}

}  // namespace
}  // namespace gridora

// What the writers refuse: a target the user made read-only stays as it was, and a
// document holding a value that is not a finite number is never written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "commands/command_ids.h"
#include "document/grid_model.h"
#include "platform/ini_file_profile.h"
#include "support/test_support.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

struct Writer {
  const char* name;
  int command;
  const char* fileName;
};

const Writer kWriters[] = {
    {"document", ID_FILE_SAVE_AS, "out.snp"},
    {"CSV", ID_SAVE_CSV, "out.csv"},
    {"standard XML", ID_SAVE_STANDARD_XML, "out.xml"},
};

struct WriterFixture : test::DocumentFixture {
  test::TempFolder folder;
  WriterFixture() {
    EXPECT_TRUE(doc->grid->Reshape(1, 3, 3));
    for (int ix = 0; ix < 3; ++ix)
      for (int iy = 0; iy < 3; ++iy) doc->grid->Value(0, ix, iy) = static_cast<float>(ix + iy);
    doc->grid->ComputeLayerRange(0);
    doc->dataFolder = folder.Path().string();
  }
};

TEST(WrittenFiles, ReadOnlyTargetsStayByteIdentical) {
  for (const Writer& writer : kWriters) {
    WriterFixture f;
    const fs::path target = f.folder / writer.fileName;
    test::WriteFileBytes(target, "the user's own file");
    ::chmod(target.c_str(), 0444);
    f.ui.files.push_back(target.string());
    EXPECT_EQ(f.Run(writer.command), CommandStatus::Failed) << writer.name;
    EXPECT_EQ(test::ReadFileBytes(target), "the user's own file") << writer.name;
    ASSERT_FALSE(f.ui.messages.empty()) << writer.name;
    EXPECT_NE(f.ui.messages.back().find("read-only"), std::string::npos) << f.ui.messages.back();
    EXPECT_EQ(std::distance(fs::directory_iterator(f.folder.Path()), fs::directory_iterator()), 1) << writer.name;
  }
}

TEST(WrittenFiles, ReadOnlyProfileIsNotReplaced) {
  test::TempFolder folder;
  const fs::path path = folder / "profile.ini";
  test::WriteFileBytes(path, "[General]\nScaleX=2\n");
  ::chmod(path.c_str(), 0444);
  IniFileProfile profile(path);
  EXPECT_FALSE(profile.WriteInt("General", "ScaleX", 3));
  EXPECT_EQ(test::ReadFileBytes(path), "[General]\nScaleX=2\n");
}

TEST(WrittenFiles, ProfileThatIsALinkKeepsItsLinkAndNoFixedTemporaryIsFollowed) {
  test::TempFolder folder;
  const fs::path real = folder / "real.ini", link = folder / "profile.ini";
  const fs::path victim = folder / "victim.txt";
  test::WriteFileBytes(real, "[General]\n");
  test::WriteFileBytes(victim, "keep me");
  fs::create_symlink(real, link);
  fs::create_symlink(victim, folder / "profile.ini.tmp");  // the name a careless writer would use
  IniFileProfile profile(link);
  ASSERT_TRUE(profile.WriteInt("General", "ScaleX", 3));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(test::ReadFileBytes(real).find("ScaleX=3"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(victim), "keep me");
}

TEST(WrittenFiles, ValuesThatAreNotFiniteNeverReachAFile) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    std::function<void(GridModel&)> spoil;
    const char* named;
  } cases[] = {
      {"NaN spacing", [nan](GridModel& g) { g.DX = nan; }, "DX is not a finite number"},
      {"infinite origin", [inf](GridModel& g) { g.y0 = -inf; }, "the Y origin is not a finite number"},
      {"NaN node", [nan](GridModel& g) { g.Value(0, 2, 1) = nan; }, "node (2, 1) of layer 0"},
  };
  for (const auto& c : cases) {
    for (const Writer& writer : kWriters) {
      WriterFixture f;
      c.spoil(*f.doc->grid);
      const fs::path target = f.folder / writer.fileName;
      test::WriteFileBytes(target, "earlier");
      f.ui.files.push_back(target.string());
      EXPECT_EQ(f.Run(writer.command), CommandStatus::Failed) << c.what << ", " << writer.name;
      EXPECT_EQ(test::ReadFileBytes(target), "earlier") << c.what << ", " << writer.name;
      ASSERT_FALSE(f.ui.messages.empty());
      EXPECT_NE(f.ui.messages.back().find(c.named), std::string::npos) << f.ui.messages.back();
    }
  }
  // The X-direction averages of a grid whose last drawn X is NaN would run to a million lines.
  // The dialog now refuses the NaN it would propose, so the command ends before the writer.
  WriterFixture f;
  f.doc->grid->xLastDrawn = nan;
  EXPECT_NE(f.Run(ID_AVERAGE_X), CommandStatus::Done);
  EXPECT_FALSE(fs::exists(f.folder / "average_x.csv"));
}

}  // namespace
}  // namespace gridora

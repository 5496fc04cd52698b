#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/replacing_file.h"
#include "support/test_support.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

bool Replace(const fs::path& path, const std::string& bytes) {
  ReplacingFile file(path);
  return file.Open() && file.Write(bytes) && file.Commit();
}

TEST(ReplacingFile, KeepsTheOldFileUntilCommitAndLeavesNoTemporary) {
  test::TempFolder folder;
  const auto path = folder / "data.txt";
  test::WriteFileBytes(path, "old");
  {
    ReplacingFile file(path);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("new"));
    EXPECT_EQ(test::ReadFileBytes(path), "old");
  }  // destroyed without Commit: discarded
  EXPECT_EQ(test::ReadFileBytes(path), "old");
  ASSERT_TRUE(Replace(path, "new"));
  EXPECT_EQ(test::ReadFileBytes(path), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(ReplacingFile, KeepsPermissionsAndReplacesWhatALinkPointsTo) {
  test::TempFolder folder;
  const auto target = folder / "target.snp";
  const auto link = folder / "link.snp";
  test::WriteFileBytes(target, "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(target, link);
  ASSERT_TRUE(Replace(link, "new"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::ReadFileBytes(target), "new");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ReplacingFile, UnwritableFolderIsReported) {
  ReplacingFile file("/nonexistent-folder/out.txt");
  EXPECT_FALSE(file.Open());
  EXPECT_FALSE(file.Error().empty());
}

}  // namespace
}  // namespace gridora

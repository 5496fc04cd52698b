#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

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

TEST(ReplacingFile, ReadOnlyTargetIsRefusedAndStaysByteIdentical) {
  for (const mode_t mode : {0444, 0400, 0555}) {
    test::TempFolder folder;
    const auto path = folder / "protected.snp";
    test::WriteFileBytes(path, "mine");
    ::chmod(path.c_str(), mode);
    ReplacingFile file(path);
    EXPECT_FALSE(file.Open()) << mode;
    EXPECT_EQ(file.Error(), "the file is read-only");
    EXPECT_EQ(test::ReadFileBytes(path), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
  }
}

TEST(ReplacingFile, TemporariesAreNamedForTheProgramAndLeftoversOfKilledSavesGo) {
  test::TempFolder folder;
  const auto target = folder / "data.txt";
  const auto victim = folder / "victim.txt";
  test::WriteFileBytes(victim, "keep me");
  struct Entry {
    const char* name;
    enum { Stale, Locked, Link } kind;
    bool removed;
  } entries[] = {
      {".data.txt.gridora-tmp-AbC123", Entry::Stale, true},    // a save killed before its rename
      {".data.txt.gridora-tmp-Zz9xY8", Entry::Locked, false},  // a save still running
      {".data.txt.gridora-tmp-link00", Entry::Link, false},    // never followed
      {".other.txt.gridora-tmp-AbC123", Entry::Stale, false},  // another target's
      {".data.txt.gridora-tmp-toolong", Entry::Stale, false},  // not a name this program makes
      {"data.txt.XXXXXX", Entry::Stale, false},
  };
  std::vector<int> locks;
  for (const Entry& e : entries) {
    const auto path = folder / e.name;
    if (e.kind == Entry::Link) {
      fs::create_symlink(victim, path);
      continue;
    }
    test::WriteFileBytes(path, "partial");
    if (e.kind == Entry::Locked) {
      locks.push_back(::open(path.c_str(), O_RDONLY));
      ASSERT_EQ(::flock(locks.back(), LOCK_EX), 0);
    }
  }
  {
    ReplacingFile file(target);
    ASSERT_TRUE(file.Open());
    // While it is written, the temporary carries the program's mark.
    int marked = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
      marked += entry.path().filename().string().rfind(".data.txt.gridora-tmp-", 0) == 0;
    EXPECT_EQ(marked, 4);  // the locked one, the link, the long name and its own
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.Commit());
  }
  for (const Entry& e : entries)
    EXPECT_EQ(!fs::is_symlink(folder / e.name) && !fs::exists(folder / e.name), e.removed) << e.name;
  EXPECT_EQ(test::ReadFileBytes(victim), "keep me");
  EXPECT_EQ(test::ReadFileBytes(target), "new");
  for (int lock : locks) ::close(lock);
}

TEST(ReplacingFile, UnwritableFolderIsReported) {
  ReplacingFile file("/nonexistent-folder/out.txt");
  EXPECT_FALSE(file.Open());
  EXPECT_FALSE(file.Error().empty());
}

TEST(ReplacingFile, ANameAtTheFileNameLimitIsSavedAndItsLeftoversCleared) {
  test::TempFolder folder;
  const std::string name(255, 'n');
  const auto path = folder / name;
  // A killed save of it left a temporary whose name was cut to fit.
  std::string leftover = "." + name;
  leftover.resize(255 - ReplacingFile::kTemporaryMarker.size() - 6);
  leftover += std::string(ReplacingFile::kTemporaryMarker) + "Abc123";
  ASSERT_EQ(leftover.size(), 255u);
  test::WriteFileBytes(folder / leftover, "half");
  ASSERT_TRUE(Replace(path, "whole"));
  EXPECT_EQ(test::ReadFileBytes(path), "whole");
  EXPECT_FALSE(fs::exists(folder / leftover));
}

}  // namespace
}  // namespace gridora

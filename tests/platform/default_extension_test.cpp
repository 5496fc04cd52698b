#include <gtest/gtest.h>

#include "platform/default_extension.h"

namespace gridora {
namespace {

TEST(DefaultExtension, AddedOnlyToANameWithoutOne) {
  const FileFilter snp{"Gridora Files (*.snp)", "*.snp"};
  const FileFilter any{"Random data file (*.*)", "*.*"};
  struct Case {
    std::string typed;
    FileFilter filter;
    std::string result;
  } cases[] = {
      {"/data/survey", snp, "/data/survey.snp"},
      {"/data/survey.snp", snp, "/data/survey.snp"},
      {"/data/survey.dat", snp, "/data/survey.dat"},  // the user's own extension stays
      {"/data.d/survey", snp, "/data.d/survey.snp"},  // a dot in a folder is no extension
      {"map", {"CSV file(*.csv)", "*.csv"}, "map.csv"},
      {"map", {"Standard XML file (*.xml)", "*.xml"}, "map.xml"},
      {"map", any, "map"},
      {"map", {"Pictures", "*.png;*.svg"}, "map"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithDefaultExtension(c.typed, c.filter), c.result) << c.typed;
}

}  // namespace
}  // namespace gridora

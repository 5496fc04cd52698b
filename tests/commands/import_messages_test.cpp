// The import messages say what a file gave beyond what was kept: points past the
// limit, values that are not numbers, lines read in pieces. Values beyond single
// precision refuse the import and leave the document as it was.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <string>

#include "commands/command_ids.h"
#include "support/current_folder.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora {
namespace {

struct ImportFixture : test::DocumentFixture {
  test::InTempFolder inFolder;

  CommandStatus Import(int command, const std::string& bytes, const char* name) {
    test::WriteFileBytes(name, bytes);
    ui.files.push_back(name);
    return Run(command);
  }
};

TEST(ImportMessages, PointFilesSayWhatWasLeftOut) {
  std::string manyPoints;
  for (int i = 0; i < 1200000; ++i) fmt::format_to(std::back_inserter(manyPoints), "{} 0 1\n", i);
  struct Case {
    const char* what;
    std::string file;
    CommandStatus status;
    int count;
    std::string ending;
  } cases[] = {
      {"past the limit", manyPoints, CommandStatus::Done, 1000000,
       "Z : min. = 1.000000 max. = 1.000000\n1,000,000 of 1,200,000 points read: the limit is 1,000,000"},
      {"not numbers", "nan 1 2\n0 0 1\n1 inf 3\n1 2 -inf\n2 2 2\n", CommandStatus::Done, 2,
       "Z : min. = 1.000000 max. = 2.000000\n3 point(s) skipped: a value is not a number or infinite"},
      {"nothing left out", "0 0 1\n2 2 2\n", CommandStatus::Done, 2, "Z : min. = 1.000000 max. = 2.000000"},
      {"beyond single precision", "0 0 1e39\n1 1 1\n5e38 2 2\n2 2 -3.5e38\n", CommandStatus::Failed, 7,
       "3 point(s) have a value larger than 3.4e38 in magnitude, beyond the range of the grid's numbers. The data "
       "are unchanged."},
  };
  for (const auto& c : cases) {
    ImportFixture f;
    f.doc->primaryData->count = 7;  // earlier points, asked whether to replace them
    EXPECT_EQ(f.Import(ID_OPEN_RANDOM_DATA, c.file, "points.xyz"), c.status) << c.what;
    EXPECT_EQ(f.doc->primaryData->count, c.count) << c.what;
    ASSERT_EQ(f.ui.messages.size(), 1u) << c.what;
    const std::string& message = f.ui.messages[0];
    ASSERT_GE(message.size(), c.ending.size()) << message;
    EXPECT_EQ(message.substr(message.size() - c.ending.size()), c.ending) << c.what;
  }
}

TEST(ImportMessages, CsvTablesSayWhatWasReadDifferently) {
  const std::string longLine = "1," + std::string(9000, '2') + ",3\n";
  struct Case {
    const char* what;
    std::string file;
    CommandStatus status;
    std::string message;
  } cases[] = {
      {"a line read in pieces", "1,2\n" + longLine + "4,5\n", CommandStatus::Done,
       "\n1 line(s) longer than 8,191 characters were read in pieces of 8,191, each piece as a row"},
      {"values that are not numbers", "1,nan\n-inf,4\n", CommandStatus::Done,
       "Min. = 0.000000 Max. = 4.000000\n2 value(s) that are not a number or infinite were read as 0"},
      {"a value beyond single precision", "1,2\n3,4e38\n", CommandStatus::Failed,
       "1 value(s) are larger than 3.4e38 in magnitude"},
      {"a plain table", "1,2\n3,4\n", CommandStatus::Done, "Min. = 1.000000 Max. = 4.000000"},
  };
  for (const auto& c : cases) {
    ImportFixture f;
    ASSERT_TRUE(f.doc->grid->Reshape(1, 5, 5));
    EXPECT_EQ(f.Import(ID_FILE_OPEN, c.file, "table.csv"), c.status) << c.what;
    ASSERT_FALSE(f.ui.messages.empty()) << c.what;
    const std::string& message = f.ui.messages.back();
    if (c.status == CommandStatus::Done && c.message.rfind("Min.", 0) == 0) {
      EXPECT_EQ(message, c.message) << c.what;
    } else {
      EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
    }
    if (c.status == CommandStatus::Failed) {
      EXPECT_EQ(f.doc->grid->NX, 5) << c.what;  // the grid as it was
    }
  }
}

TEST(ImportMessages, PwriGridsPassOverValuesThatAreNotNumbers) {
  struct Case {
    const char* file;
    CommandStatus status;
    std::string message;
  } cases[] = {
      {"0 1 2\n5 7 nan\n", CommandStatus::Done,
       "Number of data = 2 min.= 7.000000 max.= 7.000000\n1 value(s) that are not a number or infinite were passed "
       "over"},
      {"0 1 2\n5 7 3\n", CommandStatus::Done, "Number of data = 2 min.= 3.000000 max.= 7.000000"},
      {"0 1 2\n5 7 -4e38\n", CommandStatus::Failed, "1 value(s) are larger than 3.4e38 in magnitude"},
  };
  for (const auto& c : cases) {
    ImportFixture f;
    EXPECT_EQ(f.Import(ID_OPEN_PWRI, c.file, "grid.txt"), c.status) << c.file;
    ASSERT_EQ(f.ui.messages.size(), 1u);
    if (c.status == CommandStatus::Done) {
      EXPECT_EQ(f.ui.messages[0], c.message);
    } else {
      EXPECT_NE(f.ui.messages[0].find(c.message), std::string::npos) << f.ui.messages[0];
    }
  }
}

}  // namespace
}  // namespace gridora

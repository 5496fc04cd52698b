// Which reader a file reaches: a document file by its name or by its layout, a text
// table through the CSV importer, and a binary file nowhere.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "commands/document_file.h"
#include "formats/snp_file.h"
#include "support/test_support.h"

namespace gridora {
namespace {

struct DispatchFixture : test::DocumentFixture {
  test::TempFolder folder;

  // A saved document with a 3 x 2 grid and two points.
  std::string SavedDocument(const std::string& name) {
    MemoryProfile otherProfile;
    Document other(otherProfile);
    EXPECT_TRUE(other.grid->Reshape(1, 3, 2));
    for (int ix = 0; ix < 3; ++ix)
      for (int iy = 0; iy < 2; ++iy) other.grid->Value(0, ix, iy) = 7.0f;
    other.primaryData->count = 2;
    std::string problem;
    const std::string path = (folder / name).string();
    EXPECT_TRUE(WriteDocumentFile(other, path, problem)) << problem;
    return path;
  }
};

TEST(DocumentDispatch, ADocumentIsReadAsOneWhateverItsName) {
  for (const char* name : {"survey", "survey.csv", "survey.txt"}) {
    SCOPED_TRACE(name);
    DispatchFixture f;
    const std::string path = f.SavedDocument(name);
    EXPECT_TRUE(IsDocumentFile(path));
    const DocumentReadResult result = ReadDocumentFile(*f.doc, path, f.ui);
    ASSERT_EQ(result.status, ReadStatus::Read);
    EXPECT_EQ(f.doc->grid->NX, 3);
    EXPECT_EQ(f.doc->grid->NY, 2);
    EXPECT_EQ(f.doc->primaryData->count, 2);
    EXPECT_EQ(f.doc->pathName, path);
    EXPECT_EQ(f.ui.dialogTitles, std::vector<std::string>{});  // no import options asked
  }
}

TEST(DocumentDispatch, LayoutCheckTellsDocumentsFromOtherFiles) {
  DispatchFixture f;
  std::ifstream saved(f.SavedDocument("a.snp"), std::ios::binary);
  std::stringstream whole;
  whole << saved.rdbuf();
  const std::string document = whole.str();
  struct Case {
    const char* what;
    std::string bytes;
    bool isDocument;
  } cases[] = {
      {"saved document", document, true},
      {"cut inside its values", document.substr(0, 50), false},
      {"text table", "1,2,3\r\n4,5,6\r\n7,8,9\r\n10,11,12\r\n13,14,15\r\n", false},
      {"UTF-16 table",
       std::string("\xFF\xFE"
                   "1\0,\0"
                   "2\0\r\0\n\0",
                   12) +
           std::string(40, '\0'),
       false},
      {"header only", document.substr(0, 36), false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.bytes);
    EXPECT_EQ(HasSnpLayout(in), c.isDocument) << c.what;
    EXPECT_EQ(in.tellg(), 0) << c.what;  // the position is put back
  }
}

TEST(DocumentDispatch, BinaryFileIsRefusedByTheCsvImporter) {
  DispatchFixture f;
  ASSERT_TRUE(f.doc->grid->Reshape(1, 4, 4));
  const auto path = f.folder / "image.csv";
  test::WriteFileBytes(path, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR,1,2\r\n", 22));
  const DocumentReadResult result = ReadDocumentFile(*f.doc, path.string(), f.ui);
  EXPECT_EQ(result.status, ReadStatus::Failed);
  ASSERT_EQ(f.ui.messages.size(), 1u);
  EXPECT_NE(f.ui.messages[0].find("NUL"), std::string::npos) << f.ui.messages[0];
  EXPECT_EQ(f.ui.dialogTitles, std::vector<std::string>{});
  EXPECT_EQ(f.doc->grid->NX, 4);  // the grid as it was
}

}  // namespace
}  // namespace gridora

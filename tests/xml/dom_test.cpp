#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "support/xml_reading.h"
#include "xml/dom.h"

namespace gridora {
namespace {

using test::Attribute;
using test::Elements;
using test::Name;
using test::Text;

// A document with a root element, as the writer starts one.
struct DomFixture {
  std::unique_ptr<DomDocument> document = CreateDomDocument();
  DomNode root = AppendChild(document->AsNode(), document->CreateElement("root"));

  std::string Saved(const char* encoding = nullptr) {
    test::TempFolder folder;
    if (encoding)
      AppendChild(document->AsNode(), document->CreateProcessingInstruction(
                                          "xml", std::string("version='1.0' encoding='") + encoding + "'"));
    document->Save(folder / "out.xml");
    return test::ReadFileBytes(folder / "out.xml");
  }
};

TEST(Dom, LeafHelpersAppendTheElementAndALineFeed) {
  DomFixture f;
  AppendIntElement(f.root, "n_contour", 12);
  ASSERT_NE(f.root->children, nullptr);
  EXPECT_EQ(Name(f.root->children), "n_contour");
  EXPECT_EQ(Text(f.root->children), "12");
  ASSERT_NE(f.root->children->next, nullptr);
  EXPECT_EQ(f.root->children->next->type, XML_TEXT_NODE);
  EXPECT_EQ(Text(f.root->children->next), "\n");
  EXPECT_EQ(f.root->children->next->next, nullptr);
}

TEST(Dom, FloatsAreWrittenWithSixDecimals) {
  const struct {
    float value;
    const char* text;
  } cases[] = {{1000.0f, "1000.000000"}, {0.5f, "0.500000"}, {-2.25f, "-2.250000"}, {10.0f, "10.000000"}};
  for (const auto& c : cases) {
    DomFixture f;
    AppendFloatElement(f.root, "scale", c.value);
    EXPECT_EQ(Text(f.root->children), c.text);
  }
}

TEST(Dom, EmptyTextsDifferBetweenThePlainAndTheAttributeHelper) {
  DomFixture f;
  const std::string_view names[] = {"a"};
  const std::string_view values[] = {"1"};
  AppendTextElementWithAttributes(f.root, "skipped", "", names, values);
  EXPECT_EQ(f.root->children, nullptr);
  AppendTextElement(f.root, "empty", "");
  ASSERT_EQ(Elements(f.root).size(), 1u);
  EXPECT_EQ(Text(f.root->children), "");
  EXPECT_EQ(Text(f.root->children->next), "\n");
  EXPECT_NE(f.Saved().find("<empty></empty>\r\n</root>"), std::string::npos);
}

TEST(Dom, AttributesKeepTheirOrderAndContainersGetNoLineFeed) {
  DomFixture f;
  DomNode container = AppendContainer(f.root, "boundary");
  const std::string_view names[] = {"i", "r", "g", "b"};
  const int values[] = {3, 255, 0, -1};
  SetIntAttributes(container, names, values);
  const std::string_view orderName[] = {"order"};
  const int order[] = {2};
  AppendIntElementWithIntAttributes(container, "corner", 7, orderName, order);
  EXPECT_EQ(test::AttributeNames(container), (std::vector<std::string>{"i", "r", "g", "b"}));
  EXPECT_EQ(Attribute(container, "b"), "-1");
  EXPECT_EQ(container->next, nullptr);
  EXPECT_NE(f.Saved().find("<root><boundary i=\"3\" r=\"255\" g=\"0\" b=\"-1\"><corner order=\"2\">7</corner>\r\n"
                           "</boundary></root>"),
            std::string::npos);
}

TEST(Dom, FailingOperationsThrowWithStatusAndOperation) {
  DomFixture f;
  const auto expectError = [](auto action, DomStatus status, const std::string& operation) {
    try {
      action();
      ADD_FAILURE() << "no DomError for " << operation;
    } catch (const DomError& error) {
      EXPECT_EQ(error.Status(), status) << error.what();
      EXPECT_EQ(error.Operation(), operation);
    }
  };
  expectError([] { AppendTextElement(nullptr, "a", "b"); }, DomStatus::NullPointer, "createElement");
  expectError([&] { AppendTextElement(f.root, "", "b"); }, DomStatus::InvalidName, "createElement");
  expectError([&] { AppendTextElement(f.root, "two words", "b"); }, DomStatus::InvalidName, "createElement");
  expectError(
      [&] {
        const std::string_view names[] = {"a", "b"};
        const std::string_view values[] = {"1"};
        SetAttributes(f.root, names, values);
      },
      DomStatus::InvalidArgument, "setAttributeNode");
  expectError([&] { f.document->Save("/nonexistent-folder/x/out.xml"); }, DomStatus::SaveFailed, "save");
}

TEST(Dom, TextsThatXmlCannotHoldAreReplacedNotWrittenRaw) {
  DomFixture f;
  AppendTextElement(f.root, "t",
                    std::string("a\x01"
                                "b\xFF"
                                "c&<d>"));
  test::TempFolder folder;
  f.document->Save(folder / "out.xml");
  test::XmlFile parsed(folder / "out.xml");
  ASSERT_NE(parsed.doc, nullptr) << parsed.error;
  EXPECT_EQ(Text(test::Element(parsed.Root(), "t")),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD"
            "c&<d>");
}

TEST(Dom, ShiftJisDeclarationWritesJapaneseNamesAsCharacters) {
  DomFixture f;
  const std::string_view names[] = {"節点_属性"};
  const std::string_view values[] = {"地表"};
  AppendTextElementWithAttributes(f.root, "測線数", "日本語 €", names, values);
  const std::string bytes = f.Saved("Shift_JIS");
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n", 0), 0u);
  // 測線数 in Shift_JIS, and the euro sign (not in Shift_JIS) as a character reference.
  EXPECT_NE(bytes.find("<\x91\xaa\x90\xfc\x90\x94 "), std::string::npos);
  EXPECT_NE(bytes.find("&#8364;"), std::string::npos);
  EXPECT_EQ(bytes.find("&#x"), std::string::npos);
}

TEST(Dom, ChildrenProducedDuringTheSaveFollowTheOthers) {
  DomFixture f;
  DomNode list = AppendContainer(f.root, "list");
  AppendIntElement(list, "count", 5);
  int produced = 0;
  AppendDuringSave(list, [&produced](DomNode batch) {
    for (int i = 0; i < 2 && produced < 5; ++i) AppendIntElement(batch, "item", produced++);
    return produced < 5;
  });
  AppendContainer(f.root, "after");
  test::TempFolder folder;
  f.document->Save(folder / "out.xml");
  test::XmlFile parsed(folder / "out.xml");
  ASSERT_NE(parsed.doc, nullptr) << parsed.error;
  const auto items = Elements(test::Element(parsed.Root(), "list"));
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(Name(items[0]), "count");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Text(items[i + 1]), std::to_string(i));
  EXPECT_EQ(Name(Elements(parsed.Root()).back()), "after");
}

// Children produced during the save are written by a faster path than the others;
// both must give the same bytes, whatever the texts hold.
TEST(Dom, ProducedChildrenAreWrittenExactlyAsTheOthers) {
  DomFixture f;
  const auto fill = [&f](DomNode parent) {
    const std::string_view names[] = {"v", "w"};
    const std::string_view values[] = {"x\"y<z&\n\t", "節点"};
    AppendTextElementWithAttributes(parent, "t", "a&b<c>\"d\te\r\nf", names, values);
    AppendContainer(parent, "empty");
    AppendChild(parent, f.document->CreateComment("note"));
    AppendFloatElement(parent, "地表", -0.5f);
  };
  fill(AppendContainer(f.root, "a"));
  DomNode produced = AppendContainer(f.root, "b");
  AppendDuringSave(produced, [&fill](DomNode batch) {
    fill(batch);
    return false;
  });
  const std::string bytes = f.Saved("Shift_JIS");
  const auto inside = [&bytes](const std::string& tag) {
    const std::size_t start = bytes.find("<" + tag + ">") + tag.size() + 2;
    return bytes.substr(start, bytes.find("</" + tag + ">") - start);
  };
  EXPECT_EQ(inside("b"), inside("a"));
  EXPECT_NE(inside("a").find("<empty/>"), std::string::npos) << inside("a");
}

TEST(Dom, LoadReportsTheFileAndTheReason) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "bad.xml", "<root><open></root>");
  auto document = CreateDomDocument();
  try {
    document->Load(folder / "bad.xml");
    FAIL() << "no error";
  } catch (const DomError& error) {
    EXPECT_EQ(error.Status(), DomStatus::LoadFailed);
    EXPECT_NE(std::string(error.what()).find("bad.xml"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("line 1"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace gridora

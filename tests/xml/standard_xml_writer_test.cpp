#include <fmt/format.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdlib>
#include <filesystem>

#include "commands/command_ids.h"
#include "support/test_support.h"
#include "support/xml_reading.h"
#include "xml/geo_plot_data.h"
#include "xml/standard_xml_writer.h"
#include "xml/xml_tags.h"

namespace gridora {
namespace {

using test::Attribute;
using test::Element;
using test::Elements;
using test::HasAttribute;
using test::Name;
using test::Path;
using test::Text;

std::string ShiftJis(const std::string& utf8) {
  iconv_t convert = iconv_open("SHIFT_JIS", "UTF-8");
  std::string in = utf8, out(utf8.size() * 2 + 8, '\0');
  char* source = in.data();
  char* target = out.data();
  std::size_t left = in.size(), room = out.size();
  iconv(convert, &source, &left, &target, &room);
  iconv_close(convert);
  out.resize(out.size() - room);
  return out;
}

// The worked example: NX 3, NY 2, DX 10, DY 5, x0 100, y0 -20, value(ix, iy) = 10 ix + iy + 0.5.
struct ExportFixture : test::DocumentFixture {
  test::TempFolder folder;
  std::filesystem::path file = folder / "section.xml";

  ExportFixture() {
    GridModel& grid = *doc->grid;
    EXPECT_TRUE(grid.Reshape(1, 3, 2));
    grid.DX = 10.0f;
    grid.DY = 5.0f;
    grid.x0 = 100.0f;
    grid.y0 = -20.0f;
    for (int ix = 0; ix < 3; ++ix)
      for (int iy = 0; iy < 2; ++iy) grid.Value(0, ix, iy) = 10.0f * ix + iy + 0.5f;
  }

  CommandStatus Export(bool japanese) {
    ui.files.push_back(file.string());
    ui.answers.push_back(japanese);
    return Run(ID_SAVE_STANDARD_XML);
  }
};

// Leaves are followed by a line feed inside their parent, containers by nothing.
void ExpectLineFeedsAfterLeavesOnly(const xmlNode* parent, const std::string& emptyContainer) {
  for (const xmlNode* element : Elements(parent)) {
    const bool leaf = Elements(element).empty() && Name(element) != emptyContainer;
    const xmlNode* next = element->next;
    if (leaf) {
      ASSERT_TRUE(next && next->type == XML_TEXT_NODE && Text(next) == "\n") << "after leaf " << Name(element);
    } else {
      ASSERT_TRUE(!next || next->type == XML_ELEMENT_NODE) << "after container " << Name(element);
      ExpectLineFeedsAfterLeavesOnly(element, emptyContainer);
    }
  }
}

class WorkedExample : public ::testing::TestWithParam<bool> {};

TEST_P(WorkedExample, HasTheTreeOfTheStandardInEitherTagSet) {
  const bool japanese = GetParam();
  const StandardXmlTags2011 english;
  const JapaneseXmlTags2011 japaneseTags;
  const StandardXmlTags& t = japanese ? static_cast<const StandardXmlTags&>(japaneseTags) : english;

  ExportFixture f;
  ASSERT_EQ(f.Export(japanese), CommandStatus::Done) << (f.ui.messages.empty() ? "" : f.ui.messages.back());
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_EQ(f.ui.questions, std::vector<std::string>{"Save Japanese XML file?"});
  EXPECT_EQ(f.profile.ReadInt("General", "bJapaneseXML", -1), japanese ? 1 : 0);
  ASSERT_EQ(f.ui.filters.size(), 1u);
  EXPECT_EQ(f.ui.filters[0].description, "Standard XML file (*.xml)");

  test::XmlFile xml(f.file);
  ASSERT_NE(xml.doc, nullptr) << xml.error;
  const xmlNode* root = xml.Root();
  EXPECT_EQ(Name(root), t.geophysical_sections);
  ASSERT_EQ(Elements(root).size(), 5u);
  EXPECT_EQ(Name(Elements(root)[0]), "language");
  EXPECT_EQ(Text(Element(root, "language")), japanese ? "日本語" : "English");
  EXPECT_EQ(Text(Path(root, {t.database, t.database_version})), "PRWI.STANDARD.FORMAT.2011.01");
  EXPECT_EQ(Text(Element(root, t.number_of_lines)), "1");
  EXPECT_EQ(Text(Path(root, {t.common_view, t.scale})), "1000.000000");
  EXPECT_EQ(Text(Path(root, {t.common_view, t.vertical_horizontal_ratio})), "1.000000");

  const xmlNode* line = Element(root, t.line);
  ASSERT_NE(line, nullptr);
  const xmlNode* header = Element(line, t.header);
  EXPECT_EQ(Text(Path(header, {t.investigation, t.project})), "Project");
  EXPECT_EQ(Text(Path(header, {t.investigation, t.levee, t.river_name})), "小貝川");
  EXPECT_EQ(Text(Path(header, {t.location, t.location_n_node})), "2");
  const auto ends = Elements(Element(header, t.location), t.location_node_of_location);
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_EQ(Attribute(ends[1], t.location_i_node), "1");
  EXPECT_EQ(Text(Element(ends[1], t.location_latitude)), "0.000000");
  EXPECT_EQ(Text(Path(header, {t.survey, t.survey_method})), "geophysical_exploration");
  EXPECT_EQ(Text(Path(header, {t.survey, t.survey_section_index})), "0");
  EXPECT_EQ(Text(Path(header, {t.survey, t.analysis, t.analysys_software})), "Analysis software name");

  const xmlNode* section = Element(line, t.section);
  std::vector<std::string> order;
  for (const xmlNode* child : Elements(section)) order.push_back(Name(child));
  EXPECT_EQ(order, (std::vector<std::string>{t.section_index, t.section_format, t.data_method, t.data_area,
                                             t.section_grid, t.node_definition, t.element_definition, t.data_definition,
                                             t.physical_property, t.unit, t.view}));
  EXPECT_EQ(Text(Element(section, t.section_format)), "四角形格子");
  EXPECT_EQ(Text(Element(section, t.data_method)), t.NODE);
  EXPECT_EQ(Text(Element(section, t.data_area)), t.NODE_DEFINITION);
  EXPECT_EQ(Text(Path(section, {t.section_grid, t.grid_nx})), "2");
  EXPECT_EQ(Text(Path(section, {t.section_grid, t.grid_nz})), "1");
  EXPECT_EQ(Text(Element(section, t.physical_property)), "Legend");
  EXPECT_EQ(Text(Element(section, t.unit)), "()");
  EXPECT_TRUE(Elements(Element(section, t.data_definition)).empty());

  const xmlNode* nodes = Element(section, t.node_definition);
  EXPECT_EQ(Text(Element(nodes, t.node_n_node)), "6");
  const auto nodeList = Elements(nodes, t.node_node);
  ASSERT_EQ(nodeList.size(), 6u);
  for (int n = 0; n < 6; ++n) {
    const int ix = n / 2, iz = n % 2, iy = 1 - iz;
    const xmlNode* node = nodeList[n];
    EXPECT_EQ(Attribute(node, t.node_x_index), std::to_string(ix));
    EXPECT_EQ(Attribute(node, t.node_z_index), std::to_string(iz));
    EXPECT_EQ(HasAttribute(node, t.node_property), iz == 0) << "node " << n;
    if (iz == 0) {
      EXPECT_EQ(Attribute(node, t.node_property), t.surface);
    }
    EXPECT_EQ(Text(Element(node, t.node_index)), std::to_string(n));
    EXPECT_EQ(Text(Element(node, t.node_x)), fmt::format("{:.6f}", 100.0 + 10 * ix));
    EXPECT_EQ(Text(Element(node, t.node_z)), iz == 0 ? "-15.000000" : "-20.000000");
    EXPECT_EQ(Text(Element(node, t.node_data)), fmt::format("{:.6f}", 10.0 * ix + iy + 0.5));
  }

  const xmlNode* elements = Element(section, t.element_definition);
  EXPECT_EQ(Text(Element(elements, t.element_n_element)), "2");
  const auto elementList = Elements(elements, t.element_element);
  ASSERT_EQ(elementList.size(), 2u);
  const std::vector<std::vector<std::string>> corners = {{"0", "1", "3", "2"}, {"2", "3", "5", "4"}};
  for (int e = 0; e < 2; ++e) {
    EXPECT_EQ(Attribute(elementList[e], t.element_x_index), std::to_string(e));
    EXPECT_EQ(Attribute(elementList[e], t.element_z_index), "0");
    EXPECT_EQ(Text(Element(elementList[e], t.element_index)), std::to_string(e));
    EXPECT_EQ(Text(Element(elementList[e], t.element_n_node)), "4");
    const auto cornerList = Elements(elementList[e], t.element_node_index);
    ASSERT_EQ(cornerList.size(), 4u);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(Attribute(cornerList[k], t.element_node_order), std::to_string(k));
      EXPECT_EQ(Text(cornerList[k]), corners[e][k]) << "element " << e << " corner " << k;
    }
  }

  const xmlNode* view = Element(section, t.view);
  EXPECT_EQ(Text(Path(view, {t.axis, t.axis_xi})), "0.000000");
  EXPECT_EQ(Text(Path(view, {t.contour, t.contour_method})), t.no_color);
  EXPECT_EQ(Text(Path(view, {t.contour, t.contour_line})), t.falseText);
  EXPECT_EQ(Text(Path(view, {t.contour, t.n_contour})), "37");
  const auto boundaries = Elements(Element(view, t.contour), t.contour_boundary);
  ASSERT_EQ(boundaries.size(), 37u);
  EXPECT_EQ(test::AttributeNames(boundaries[36]), (std::vector<std::string>{t.i_contour_boundary, t.r, t.g, t.b}));
  EXPECT_EQ(Attribute(boundaries[36], t.i_contour_boundary), "36");
  EXPECT_EQ(Text(Element(boundaries[36], t.boundary_value)), "0.000000");

  ExpectLineFeedsAfterLeavesOnly(root, t.data_definition);
}

INSTANTIATE_TEST_SUITE_P(Languages, WorkedExample, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Japanese" : "English"; });

TEST(StandardXml, JapaneseFileIsShiftJisThatParsersAccept) {
  ExportFixture f;
  ASSERT_EQ(f.Export(true), CommandStatus::Done);
  const std::string bytes = test::ReadFileBytes(f.file);
  const std::string start = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<!--" +
                            ShiftJis("物理探査結果二次元断面共通書式") + "-->\r\n<" + ShiftJis("物理探査結果") + ">";
  EXPECT_EQ(bytes.substr(0, start.size()), start);
  EXPECT_NE(bytes.find("<" + ShiftJis("測線") + ">"), std::string::npos);
  EXPECT_EQ(bytes.find("&#"), std::string::npos);  // every name and text as characters
  // CR LF line ends only.
  for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
    ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "bare line feed at " << at;

  if (std::system("command -v xmllint >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
  const std::string command = "xmllint --noout '" + f.file.string() + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(StandardXml, MetadataComesFromTheProfileWhateverTheLanguage) {
  const struct {
    const char* purpose;
    bool levee;
  } cases[] = {{nullptr, true}, {"dam", false}, {"Levee", false}, {"河川堤防の調査", true}};
  for (bool japanese : {false, true}) {
    for (const auto& c : cases) {
      ExportFixture f;
      if (c.purpose) f.profile.WriteText("General", "Investigation_sApplication", c.purpose);
      f.profile.WriteText("General", "Investigation_sInvestigationName", "Survey 7");
      f.profile.WriteText("General", "Investigation_sClient", "River office");
      f.profile.WriteText("General", "sPrefecture", "PREFECTURE-NOT-WRITTEN");
      ASSERT_EQ(f.Export(japanese), CommandStatus::Done);
      const StandardXmlTags2011 english;
      const JapaneseXmlTags2011 japaneseTags;
      const StandardXmlTags& t = japanese ? static_cast<const StandardXmlTags&>(japaneseTags) : english;
      test::XmlFile xml(f.file);
      ASSERT_NE(xml.doc, nullptr) << xml.error;
      const xmlNode* investigation = Path(xml.Root(), {t.line, t.header, t.investigation});
      EXPECT_EQ(Text(Element(investigation, t.investigation_name)), "Survey 7");
      EXPECT_EQ(Text(Element(investigation, t.client)), "River office");
      EXPECT_EQ(Text(Element(investigation, t.contractor)), "Contractor");
      const xmlNode* levee = Element(investigation, t.levee);
      EXPECT_EQ(levee != nullptr, c.levee) << (c.purpose ? c.purpose : "default") << " japanese " << japanese;
      if (levee) {
        std::vector<std::string> texts;
        for (const xmlNode* leaf : Elements(levee)) texts.push_back(Text(leaf));
        EXPECT_EQ(texts, (std::vector<std::string>{"小貝川", "左岸", "天端(中央)", "32000.000000", "0.000000",
                                                   "33000.000000", "0.000000"}));
        EXPECT_EQ(Name(Elements(levee)[3]), t.distance_post_star);
      }
      EXPECT_EQ(test::ReadFileBytes(f.file).find("PREFECTURE-NOT-WRITTEN"), std::string::npos);
    }
  }
}

TEST(StandardXml, NoBoundariesWhenNoLevelsAreInUse) {
  ExportFixture f;
  f.doc->grid->contourLevels.count = 0;
  ASSERT_EQ(f.Export(false), CommandStatus::Done);
  test::XmlFile xml(f.file);
  const xmlNode* contour = Path(xml.Root(), {"line", "section", "view", "contour"});
  EXPECT_EQ(Text(Element(contour, "n_contour")), "0");
  EXPECT_TRUE(Elements(contour, "contour_boundary").empty());
}

TEST(StandardXml, EnabledOnlyForAtLeastTwoNodesEachWay) {
  test::DocumentFixture f;
  EXPECT_FALSE(f.State(ID_SAVE_STANDARD_XML).enabled);
  ASSERT_TRUE(f.doc->grid->Reshape(1, 2, 1));
  EXPECT_FALSE(f.State(ID_SAVE_STANDARD_XML).enabled);
  ASSERT_TRUE(f.doc->grid->Reshape(1, 2, 2));
  EXPECT_TRUE(f.State(ID_SAVE_STANDARD_XML).enabled);
}

TEST(StandardXml, CancelledFileDialogWritesAndAsksNothing) {
  ExportFixture f;
  EXPECT_EQ(f.Run(ID_SAVE_STANDARD_XML), CommandStatus::Canceled);
  EXPECT_TRUE(f.ui.questions.empty());
  EXPECT_FALSE(f.profile.Has("General", "bJapaneseXML"));
}

TEST(StandardXml, TemplateOfTheChosenLanguageReceivesTheContent) {
  ExportFixture f;
  test::TempFolder templates;
  test::WriteFileBytes(
      templates / kJapaneseTemplateName,
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE 物理探査結果 [\n<!ELEMENT 物理探査結果 ANY>\n]>\n"
      "<物理探査結果 version=\"2011.01\"><!-- from the template --></物理探査結果>\n");
  auto data = BuildSectionData(*f.doc->grid, f.profile);
  std::string problem;
  ASSERT_TRUE(WriteStandardXmlWithTemplates(f.file.string(), *data, {templates.Path()}, true, problem));
  const std::string bytes = test::ReadFileBytes(f.file);
  EXPECT_EQ(bytes.find("物理探査結果二次元断面共通書式"), std::string::npos);
  EXPECT_NE(bytes.find("<!DOCTYPE"), std::string::npos);
  test::XmlFile xml(f.file);
  ASSERT_NE(xml.doc, nullptr) << xml.error;
  EXPECT_EQ(Attribute(xml.Root(), "version"), "2011.01");
  EXPECT_EQ(Text(Element(xml.Root(), "language")), "日本語");
  EXPECT_EQ(Elements(Path(xml.Root(), {"測線", "断面", "節点定義"}), "節点").size(), 6u);
}

TEST(StandardXml, MissingEnglishTemplateFallsBackToTheBuiltInStart) {
  ExportFixture f;
  test::TempFolder templates;
  test::WriteFileBytes(templates / kJapaneseTemplateName, "<物理探査結果/>");
  auto data = BuildSectionData(*f.doc->grid, f.profile);
  std::string problem;
  ASSERT_TRUE(WriteStandardXmlWithTemplates(f.file.string(), *data, {templates.Path()}, false, problem));
  EXPECT_TRUE(problem.empty());
  test::XmlFile xml(f.file);
  ASSERT_NE(xml.doc, nullptr) << xml.error;
  EXPECT_EQ(Name(xml.Root()), "geophysical_sections");
  EXPECT_EQ(xml.doc->children->type, XML_COMMENT_NODE);
}

TEST(StandardXml, FailuresNameTheFileAndKeepTheEarlierOne) {
  ExportFixture f;
  test::WriteFileBytes(f.file, "earlier file");
  test::TempFolder templates;
  test::WriteFileBytes(templates / kJapaneseTemplateName, "<not closed>");
  {
    auto data = BuildSectionData(*f.doc->grid, f.profile);
    std::string problem;
    EXPECT_FALSE(WriteStandardXmlWithTemplates(f.file.string(), *data, {templates.Path()}, true, problem));
    EXPECT_NE(problem.find("Cannot save the standard XML file " + f.file.string()), std::string::npos);
    EXPECT_NE(problem.find(kJapaneseTemplateName), std::string::npos) << problem;
    EXPECT_EQ(test::ReadFileBytes(f.file), "earlier file");
  }
  {
    // A folder that cannot hold the file (its "folder" is a plain file).
    f.ui.messages.clear();
    const std::string target = (f.file / "inside.xml").string();
    f.ui.files.push_back(target);
    f.ui.answers.push_back(false);
    EXPECT_EQ(f.Run(ID_SAVE_STANDARD_XML), CommandStatus::Failed);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0], "Cannot save the standard XML file " + target + ": Not a directory");
  }
  {
    auto data = BuildSectionData(*f.doc->grid, f.profile);
    data->lastIndexX[0] = 7;  // more nodes than the line holds
    std::string problem;
    EXPECT_FALSE(WriteStandardXmlWithTemplates(f.file.string(), *data, {}, false, problem));
    EXPECT_EQ(problem, "Error in memory data copy !");
  }
  EXPECT_EQ(test::ReadFileBytes(f.file), "earlier file");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder.Path()), {}), 1);  // no leftovers
}

TEST(StandardXml, ProgramFolderIsTheExecutablesFolder) {
  const std::string folder = GetProgramFolder("/start");
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / "gridora_core_tests")) << folder;
}

}  // namespace
}  // namespace gridora

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "xml/xml_tags.h"

namespace gridora {
namespace {

TEST(XmlTags, BaseClassLeavesEntry46AndTheLaterEntriesEmpty) {
  const StandardXmlTags base;
  const auto entries = base.Entries();
  ASSERT_EQ(entries.size(), 133u);
  for (int n = 1; n <= 133; ++n) {
    const bool empty = n == 46 || n >= 86;
    EXPECT_EQ(entries[n - 1]->empty(), empty) << "entry " << n;
  }
  EXPECT_EQ(base.languageFlag, 0);
  EXPECT_EQ(base.GetLanguageName(), "ENGLISH");
}

TEST(XmlTags, EnglishVocabularyHasEveryEntryButNinetyEightInFieldOrder) {
  const StandardXmlTags2011 english;
  const auto entries = english.Entries();
  for (int n = 1; n <= 133; ++n) EXPECT_EQ(entries[n - 1]->empty(), n == 98) << "entry " << n;
  // Spot checks along the field order, including the standard's own spellings.
  const std::map<int, std::string> expected = {{1, "English"},
                                               {2, "header"},
                                               {46, "survey_section_index"},
                                               {55, "analysys_software"},
                                               {61, "contour"},
                                               {82, "distance_post_star"},
                                               {83, "distance_post_star_odd"},
                                               {85, "distance_post_end_odd"},
                                               {86, "TRUE"},
                                               {87, "FALSE"},
                                               {96, "NODE"},
                                               {100, "NODE_DEFINITION"},
                                               {112, "surface"},
                                               {123, "element_node_order"},
                                               {131, "contour"},
                                               {132, "grid"},
                                               {133, "no_color"}};
  for (const auto& [n, text] : expected) EXPECT_EQ(*entries[n - 1], text) << "entry " << n;
  EXPECT_EQ(english.languageFlag, 0);
  EXPECT_EQ(english.GetLanguageName(), "ENGLISH");
}

TEST(XmlTags, JapaneseVocabularyReplacesOnlyTheEntriesThatHaveAJapaneseText) {
  const StandardXmlTags2011 english;
  const JapaneseXmlTags2011 japanese;
  const auto en = english.Entries();
  const auto ja = japanese.Entries();
  const std::set<int> keptEnglish = {4, 11, 12, 13, 14, 15, 37, 38, 39, 40, 42, 43, 98};
  for (int n = 1; n <= 133; ++n) {
    if (keptEnglish.count(n))
      EXPECT_EQ(*ja[n - 1], *en[n - 1]) << "entry " << n;
    else
      EXPECT_NE(*ja[n - 1], *en[n - 1]) << "entry " << n;
  }
  EXPECT_EQ(japanese.language, "language");
  EXPECT_EQ(japanese.English, "日本語");
  EXPECT_EQ(japanese.languageFlag, 1);
  EXPECT_EQ(japanese.GetLanguageName(), "JAPANESE");
  // The 2011.01 texts of the location and node coordinates.
  EXPECT_EQ(japanese.location_n_node, "座標点数");
  EXPECT_EQ(japanese.location_distance, "座標点_断面水平座標");
  EXPECT_EQ(japanese.node_x, "節点_水平座標");
  EXPECT_EQ(japanese.node_z, "節点_鉛直座標");
  // Texts shared by an element name and a value.
  EXPECT_EQ(japanese.node_definition, japanese.NODE_DEFINITION);
  EXPECT_EQ(japanese.node_node, japanese.NODE);
  EXPECT_EQ(japanese.element_element, japanese.ELEMENT);
  EXPECT_EQ(japanese.contour, japanese.contourText);
  EXPECT_EQ(japanese.section_grid, japanese.TETRAGON_GRIDS);
  EXPECT_EQ(japanese.cell, japanese.grid);
  EXPECT_TRUE(japanese.entry98.empty());
}

}  // namespace
}  // namespace gridora

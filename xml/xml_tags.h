#pragma once
// The tag vocabularies of the standard XML file. Every element name, attribute name and
// fixed value text the writer puts into the file comes from one of these objects, never
// from a literal in the writer, so the English and the Japanese file differ only in the
// vocabulary chosen. A vocabulary is a flat record of 133 texts in a fixed field order.
//
//   StandardXmlTags                    entries 1..85 (entry 46 empty)
//   +- StandardXmlTags2010         entry 46 and entries 86..133 (entry 98 empty)
//      +- StandardXmlTags2011      the English vocabulary of the 2011.01 standard
//         +- JapaneseXmlTags2011   Japanese texts where the standard has them
#include <array>
#include <string>

namespace gridora {

class StandardXmlTags {
 public:
  static constexpr int kEntryCount = 133;

  StandardXmlTags();
  virtual ~StandardXmlTags() = default;
  virtual std::string GetLanguageName() const { return "ENGLISH"; }

  // The entries in field order (entry 1 first).
  std::array<const std::string*, kEntryCount> Entries() const;

  int languageFlag = 0;  // 0 English, 1 Japanese
  // Entries are named by their English text, except where that cannot be a member name:
  // operator_ (48), trueText (86), falseText (87), entry98 (98, always empty) and
  // contourText (131, the value text; 61 is the element name).
  std::string English;                    // 1
  std::string header;                     // 2
  std::string geophysical_sections;       // 3
  std::string language;                   // 4
  std::string number_of_lines;            // 5
  std::string line;                       // 6
  std::string common_view;                // 7
  std::string investigation;              // 8
  std::string database;                   // 9
  std::string database_version;           // 10
  std::string database_information;       // 11
  std::string database_name;              // 12
  std::string file_name;                  // 13
  std::string folder_path;                // 14
  std::string database_id;                // 15
  std::string scale;                      // 16
  std::string vertical_horizontal_ratio;  // 17
  std::string section;                    // 18
  std::string physical_property;          // 19
  std::string unit;                       // 20
  std::string cell;                       // 21
  std::string view;                       // 22
  std::string location;                   // 23
  std::string location_type;              // 24
  std::string location_coordinate;        // 25
  std::string location_origin;            // 26
  std::string location_origin_x;          // 27
  std::string location_origin_y;          // 28
  std::string location_n_node;            // 29
  std::string location_node_of_location;  // 30
  std::string location_i_node;            // 31
  std::string location_node_x;            // 32
  std::string location_node_y;            // 33
  std::string location_latitude;          // 34
  std::string location_longitude;         // 35
  std::string location_distance;          // 36
  std::string location_elevation;         // 37
  std::string location_site;              // 38
  std::string jshis_geomorphologic_code;  // 39
  std::string jshis_avs30;                // 40
  std::string investigation_site;         // 41
  std::string site_information;           // 42
  std::string site_name;                  // 43
  std::string survey;                     // 44
  std::string survey_method;              // 45
  std::string survey_section_index;       // 46
  std::string acquisition;                // 47
  std::string operator_;                  // 48 ("operator")
  std::string acquisition_date;           // 49
  std::string acquisition_method;         // 50
  std::string instrument;                 // 51
  std::string analysis;                   // 52
  std::string analyst;                    // 53
  std::string analysis_method;            // 54
  std::string analysys_software;          // 55
  std::string project;                    // 56
  std::string investigation_name;         // 57
  std::string client;                     // 58
  std::string contractor;                 // 59
  std::string application;                // 60
  std::string contour;                    // 61
  std::string n_contour;                  // 62
  std::string contour_boundary;           // 63
  std::string i_contour_boundary;         // 64
  std::string r;                          // 65
  std::string g;                          // 66
  std::string b;                          // 67
  std::string boundary_value;             // 68
  std::string axis;                       // 69
  std::string axis_xst;                   // 70
  std::string axis_xe;                    // 71
  std::string axis_xi;                    // 72
  std::string axis_nx;                    // 73
  std::string axis_yst;                   // 74
  std::string axis_ye;                    // 75
  std::string axis_yi;                    // 76
  std::string axis_ny;                    // 77
  std::string levee;                      // 78
  std::string river_name;                 // 79
  std::string river_side;                 // 80
  std::string levee_location;             // 81
  std::string distance_post_star;         // 82
  std::string distance_post_star_odd;     // 83
  std::string distance_post_end;          // 84
  std::string distance_post_end_odd;      // 85
  std::string trueText;                   // 86
  std::string falseText;                  // 87
  std::string section_index;              // 88
  std::string section_format;             // 89
  std::string data_method;                // 90
  std::string data_area;                  // 91
  std::string section_grid;               // 92
  std::string grid_nx;                    // 93
  std::string grid_nz;                    // 94
  std::string ELEMENT;                    // 95
  std::string NODE;                       // 96
  std::string TETRAGON_GRIDS;             // 97
  std::string entry98;                    // 98
  std::string ELEMENT_DEFINITION;         // 99
  std::string NODE_DEFINITION;            // 100
  std::string node_definition;            // 101
  std::string node_n_node;                // 102
  std::string node_node;                  // 103
  std::string node_x_index;               // 104
  std::string node_z_index;               // 105
  std::string node_index;                 // 106
  std::string node_x;                     // 107
  std::string node_z;                     // 108
  std::string node_property;              // 109
  std::string node_data;                  // 110
  std::string node_data_index;            // 111
  std::string surface;                    // 112
  std::string element_definition;         // 113
  std::string element_n_element;          // 114
  std::string element_element;            // 115
  std::string element_index;              // 116
  std::string element_n_node;             // 117
  std::string element_node_index;         // 118
  std::string element_data_index;         // 119
  std::string element_data;               // 120
  std::string element_x_index;            // 121
  std::string element_z_index;            // 122
  std::string element_node_order;         // 123
  std::string data_definition;            // 124
  std::string data_n_data;                // 125
  std::string data_data;                  // 126
  std::string data_index;                 // 127
  std::string data_value;                 // 128
  std::string contour_method;             // 129
  std::string contour_line;               // 130
  std::string contourText;                // 131
  std::string grid;                       // 132
  std::string no_color;                   // 133
};

class StandardXmlTags2010 : public StandardXmlTags {
 public:
  StandardXmlTags2010();
};

class StandardXmlTags2011 : public StandardXmlTags2010 {
 public:
  StandardXmlTags2011() = default;
};

class JapaneseXmlTags2011 : public StandardXmlTags2011 {
 public:
  JapaneseXmlTags2011();
  std::string GetLanguageName() const override { return "JAPANESE"; }
};

}  // namespace gridora

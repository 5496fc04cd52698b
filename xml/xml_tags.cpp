#include "xml/xml_tags.h"

namespace gridora {

StandardXmlTags::StandardXmlTags() {
  English = "English";
  header = "header";
  geophysical_sections = "geophysical_sections";
  language = "language";
  number_of_lines = "number_of_lines";
  line = "line";
  common_view = "common_view";
  investigation = "investigation";
  database = "database";
  database_version = "database_version";
  database_information = "database_information";
  database_name = "database_name";
  file_name = "file_name";
  folder_path = "folder_path";
  database_id = "database_id";
  scale = "scale";
  vertical_horizontal_ratio = "vertical_horizontal_ratio";
  section = "section";
  physical_property = "physical_property";
  unit = "unit";
  cell = "cell";
  view = "view";
  location = "location";
  location_type = "location_type";
  location_coordinate = "location_coordinate";
  location_origin = "location_origin";
  location_origin_x = "location_origin_x";
  location_origin_y = "location_origin_y";
  location_n_node = "location_n_node";
  location_node_of_location = "location_node_of_location";
  location_i_node = "location_i_node";
  location_node_x = "location_node_x";
  location_node_y = "location_node_y";
  location_latitude = "location_latitude";
  location_longitude = "location_longitude";
  location_distance = "location_distance";
  location_elevation = "location_elevation";
  location_site = "location_site";
  jshis_geomorphologic_code = "jshis_geomorphologic_code";
  jshis_avs30 = "jshis_avs30";
  investigation_site = "investigation_site";
  site_information = "site_information";
  site_name = "site_name";
  survey = "survey";
  survey_method = "survey_method";
  acquisition = "acquisition";
  operator_ = "operator";
  acquisition_date = "acquisition_date";
  acquisition_method = "acquisition_method";
  instrument = "instrument";
  analysis = "analysis";
  analyst = "analyst";
  analysis_method = "analysis_method";
  analysys_software = "analysys_software";
  project = "project";
  investigation_name = "investigation_name";
  client = "client";
  contractor = "contractor";
  application = "application";
  contour = "contour";
  n_contour = "n_contour";
  contour_boundary = "contour_boundary";
  i_contour_boundary = "i_contour_boundary";
  r = "r";
  g = "g";
  b = "b";
  boundary_value = "boundary_value";
  axis = "axis";
  axis_xst = "axis_xst";
  axis_xe = "axis_xe";
  axis_xi = "axis_xi";
  axis_nx = "axis_nx";
  axis_yst = "axis_yst";
  axis_ye = "axis_ye";
  axis_yi = "axis_yi";
  axis_ny = "axis_ny";
  levee = "levee";
  river_name = "river_name";
  river_side = "river_side";
  levee_location = "levee_location";
  distance_post_star = "distance_post_star";
  distance_post_star_odd = "distance_post_star_odd";
  distance_post_end = "distance_post_end";
  distance_post_end_odd = "distance_post_end_odd";
}

StandardXmlTags2010::StandardXmlTags2010() {
  survey_section_index = "survey_section_index";
  trueText = "TRUE";
  falseText = "FALSE";
  section_index = "section_index";
  section_format = "section_format";
  data_method = "data_method";
  data_area = "data_area";
  section_grid = "section_grid";
  grid_nx = "grid_nx";
  grid_nz = "grid_nz";
  ELEMENT = "ELEMENT";
  NODE = "NODE";
  TETRAGON_GRIDS = "TETRAGON_GRIDS";
  ELEMENT_DEFINITION = "ELEMENT_DEFINITION";
  NODE_DEFINITION = "NODE_DEFINITION";
  node_definition = "node_definition";
  node_n_node = "node_n_node";
  node_node = "node_node";
  node_x_index = "node_x_index";
  node_z_index = "node_z_index";
  node_index = "node_index";
  node_x = "node_x";
  node_z = "node_z";
  node_property = "node_property";
  node_data = "node_data";
  node_data_index = "node_data_index";
  surface = "surface";
  element_definition = "element_definition";
  element_n_element = "element_n_element";
  element_element = "element_element";
  element_index = "element_index";
  element_n_node = "element_n_node";
  element_node_index = "element_node_index";
  element_data_index = "element_data_index";
  element_data = "element_data";
  element_x_index = "element_x_index";
  element_z_index = "element_z_index";
  element_node_order = "element_node_order";
  data_definition = "data_definition";
  data_n_data = "data_n_data";
  data_data = "data_data";
  data_index = "data_index";
  data_value = "data_value";
  contour_method = "contour_method";
  contour_line = "contour_line";
  contourText = "contour";
  grid = "grid";
  no_color = "no_color";
}

// Entries without a Japanese text of their own keep the English one.
JapaneseXmlTags2011::JapaneseXmlTags2011() {
  languageFlag = 1;
  English = "日本語";
  header = "標題情報";
  geophysical_sections = "物理探査結果";
  number_of_lines = "測線数";
  line = "測線";
  common_view = "共通描画情報";
  investigation = "調査情報";
  database = "データベース情報";
  database_version = "データベース形式";
  scale = "縮尺";
  vertical_horizontal_ratio = "縦横比";
  section = "断面";
  physical_property = "物性";
  unit = "単位";
  cell = "格子";
  view = "描画情報";
  location = "位置情報";
  location_type = "座標_定義方法";
  location_coordinate = "座標系";
  location_origin = "座標_原点";
  location_origin_x = "座標_原点_X座標";
  location_origin_y = "座標_原点_Y座標";
  location_n_node = "座標点数";
  location_node_of_location = "座標点";
  location_i_node = "座標点番号";
  location_node_x = "座標点_X座標";
  location_node_y = "座標点_Y座標";
  location_latitude = "座標点_緯度";
  location_longitude = "座標点_経度";
  location_distance = "座標点_断面水平座標";
  investigation_site = "調査地";
  survey = "探査管理データ";
  survey_method = "探査手法";
  survey_section_index = "探査管理_断面ID";
  acquisition = "測定情報";
  operator_ = "測定者";
  acquisition_date = "測定日";
  acquisition_method = "測定方法";
  instrument = "測定器";
  analysis = "解析情報";
  analyst = "解析者";
  analysis_method = "解析方法";
  analysys_software = "解析ソフトウェア";
  project = "事業工事名";
  investigation_name = "調査名";
  client = "発注機関名";
  contractor = "調査会社";
  application = "調査目的";
  contour = "コンター";
  n_contour = "コンター数";
  contour_boundary = "コンター境界";
  i_contour_boundary = "コンター番号";
  r = "赤";
  g = "緑";
  b = "青";
  boundary_value = "境界値";
  axis = "軸";
  axis_xst = "軸_X_最小値";
  axis_xe = "軸_X_最大値";
  axis_xi = "軸_X_目盛間隔";
  axis_nx = "軸_X_目盛数";
  axis_yst = "軸_Y_最小値";
  axis_ye = "軸_Y_最大値";
  axis_yi = "軸_Y_目盛間隔";
  axis_ny = "軸_Y_目盛数";
  levee = "河川堤防";
  river_name = "河川名";
  river_side = "調査サイド";
  levee_location = "測線位置";
  distance_post_star = "距離標_始点";
  distance_post_star_odd = "距離標_始点_追加距離";
  distance_post_end = "距離標_終点";
  distance_post_end_odd = "距離標_終点_追加距離";
  trueText = "有";
  falseText = "無";
  section_index = "断面ID";
  section_format = "断面_書式";
  data_method = "物性値_定義方法";
  data_area = "物性値_定義場所";
  section_grid = "四角形格子";
  grid_nx = "水平方向要素数";
  grid_nz = "鉛直方向要素数";
  ELEMENT = "要素";
  NODE = "節点";
  TETRAGON_GRIDS = "四角形格子";
  ELEMENT_DEFINITION = "要素定義";
  NODE_DEFINITION = "節点定義";
  node_definition = "節点定義";
  node_n_node = "節点_節点数";
  node_node = "節点";
  node_x_index = "節点_X番号";
  node_z_index = "節点_Z番号";
  node_index = "節点_番号";
  node_x = "節点_水平座標";
  node_z = "節点_鉛直座標";
  node_property = "節点_属性";
  node_data = "節点_物性値";
  node_data_index = "節点_物性値番号";
  surface = "地表";
  element_definition = "要素定義";
  element_n_element = "要素_要素数";
  element_element = "要素";
  element_index = "要素_番号";
  element_n_node = "要素_節点数";
  element_node_index = "要素_節点番号";
  element_data_index = "要素物性値番号";
  element_data = "要素_物性値";
  element_x_index = "要素_X番号";
  element_z_index = "要素_Z番号";
  element_node_order = "節点順番";
  data_definition = "物性値定義";
  data_n_data = "物性値_物性値数";
  data_data = "物性値";
  data_index = "物性値_番号";
  data_value = "物性値_値";
  contour_method = "コンター方法";
  contour_line = "コンター線";
  contourText = "コンター";
  grid = "格子";
  no_color = "色無し";
}

std::array<const std::string*, StandardXmlTags::kEntryCount> StandardXmlTags::Entries() const {
  return {
      &English,
      &header,
      &geophysical_sections,
      &language,
      &number_of_lines,
      &line,
      &common_view,
      &investigation,
      &database,
      &database_version,
      &database_information,
      &database_name,
      &file_name,
      &folder_path,
      &database_id,
      &scale,
      &vertical_horizontal_ratio,
      &section,
      &physical_property,
      &unit,
      &cell,
      &view,
      &location,
      &location_type,
      &location_coordinate,
      &location_origin,
      &location_origin_x,
      &location_origin_y,
      &location_n_node,
      &location_node_of_location,
      &location_i_node,
      &location_node_x,
      &location_node_y,
      &location_latitude,
      &location_longitude,
      &location_distance,
      &location_elevation,
      &location_site,
      &jshis_geomorphologic_code,
      &jshis_avs30,
      &investigation_site,
      &site_information,
      &site_name,
      &survey,
      &survey_method,
      &survey_section_index,
      &acquisition,
      &operator_,
      &acquisition_date,
      &acquisition_method,
      &instrument,
      &analysis,
      &analyst,
      &analysis_method,
      &analysys_software,
      &project,
      &investigation_name,
      &client,
      &contractor,
      &application,
      &contour,
      &n_contour,
      &contour_boundary,
      &i_contour_boundary,
      &r,
      &g,
      &b,
      &boundary_value,
      &axis,
      &axis_xst,
      &axis_xe,
      &axis_xi,
      &axis_nx,
      &axis_yst,
      &axis_ye,
      &axis_yi,
      &axis_ny,
      &levee,
      &river_name,
      &river_side,
      &levee_location,
      &distance_post_star,
      &distance_post_star_odd,
      &distance_post_end,
      &distance_post_end_odd,
      &trueText,
      &falseText,
      &section_index,
      &section_format,
      &data_method,
      &data_area,
      &section_grid,
      &grid_nx,
      &grid_nz,
      &ELEMENT,
      &NODE,
      &TETRAGON_GRIDS,
      &entry98,
      &ELEMENT_DEFINITION,
      &NODE_DEFINITION,
      &node_definition,
      &node_n_node,
      &node_node,
      &node_x_index,
      &node_z_index,
      &node_index,
      &node_x,
      &node_z,
      &node_property,
      &node_data,
      &node_data_index,
      &surface,
      &element_definition,
      &element_n_element,
      &element_element,
      &element_index,
      &element_n_node,
      &element_node_index,
      &element_data_index,
      &element_data,
      &element_x_index,
      &element_z_index,
      &element_node_order,
      &data_definition,
      &data_n_data,
      &data_data,
      &data_index,
      &data_value,
      &contour_method,
      &contour_line,
      &contourText,
      &grid,
      &no_color,
  };
}

}  // namespace gridora

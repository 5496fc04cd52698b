#include "xml/standard_xml_writer.h"

#include <fmt/format.h>
#include <fmt/printf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <memory>
#include <new>

#include "platform/trace.h"
#include "xml/geo_plot_data.h"
#include "xml/xml_tags.h"

namespace gridora {
namespace {

constexpr const char* kDatabaseVersion = "PRWI.STANDARD.FORMAT.2011.01";
constexpr const char* kDeclaration = "version='1.0' encoding='Shift_JIS'";
constexpr const char* kComment = "物理探査結果二次元断面共通書式";
constexpr const char* kSectionFormat = "四角形格子";

// Nodes and elements are produced in batches of this many while saving: a tree small
// enough for the processor cache at a time, whatever the size of the grid.
constexpr long long kBatchSize = 64;

bool CanRead(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream probe(path, std::ios::binary);
  return probe.is_open();
}

// The node matrices of one line, kept for the node definitions written during the save.
struct LineNodes {
  NodeMatrix x, z, value;
  int elementCountX = 0, elementCountZ = 0;
};

class NodeDefinitionProducer {
 public:
  NodeDefinitionProducer(std::shared_ptr<const LineNodes> nodes, const StandardXmlTags& tags)
      : nodes_(std::move(nodes)), tags_(tags) {}

  bool operator()(DomNode batch) {
    const long long rows = nodes_->elementCountZ + 1;
    const long long total = (nodes_->elementCountX + 1LL) * rows;
    const long long end = std::min(total, next_ + kBatchSize);
    const std::string_view names[] = {tags_.node_x_index, tags_.node_z_index, tags_.node_property};
    for (; next_ < end; ++next_) {
      const int ix = static_cast<int>(next_ / rows);
      const int iz = static_cast<int>(next_ % rows);
      DomNode node = AppendContainer(batch, tags_.node_node);
      const std::string ixText = fmt::format_int(ix).str(), izText = fmt::format_int(iz).str();
      const std::string_view values[] = {ixText, izText, tags_.surface};
      // Only the top row of the section (iz = 0) carries the surface mark.
      const std::size_t count = iz == 0 ? 3 : 2;
      SetAttributes(node, std::span(names, count), std::span(values, count));
      AppendIntElement(node, tags_.node_index, static_cast<int>(next_));
      AppendFloatElement(node, tags_.node_x, nodes_->x(ix, iz));
      AppendFloatElement(node, tags_.node_z, nodes_->z(ix, iz));
      AppendFloatElement(node, tags_.node_data, nodes_->value(ix, iz));
    }
    return next_ < total;
  }

 private:
  std::shared_ptr<const LineNodes> nodes_;
  const StandardXmlTags& tags_;
  long long next_ = 0;
};

class ElementDefinitionProducer {
 public:
  ElementDefinitionProducer(int elementCountX, int elementCountZ, const StandardXmlTags& tags)
      : countX_(elementCountX), countZ_(elementCountZ), tags_(tags) {}

  bool operator()(DomNode batch) {
    const long long total = static_cast<long long>(countX_) * countZ_;
    const long long end = std::min(total, next_ + kBatchSize);
    const std::string_view indexNames[] = {tags_.element_x_index, tags_.element_z_index};
    const std::string_view orderName[] = {tags_.element_node_order};
    for (; next_ < end; ++next_) {
      const int ex = static_cast<int>(next_ / countZ_);
      const int ez = static_cast<int>(next_ % countZ_);
      DomNode element = AppendContainer(batch, tags_.element_element);
      const int indices[] = {ex, ez};
      SetIntAttributes(element, indexNames, indices);
      AppendIntElement(element, tags_.element_index, static_cast<int>(next_));
      AppendIntElement(element, tags_.element_n_node, 4);
      // Upper left corner first, down, across the bottom and up the right side.
      const int corners[] = {Node(ex, ez), Node(ex, ez + 1), Node(ex + 1, ez + 1), Node(ex + 1, ez)};
      for (int order = 0; order < 4; ++order) {
        const int orderValue[] = {order};
        AppendIntElementWithIntAttributes(element, tags_.element_node_index, corners[order], orderName, orderValue);
      }
    }
    return next_ < total;
  }

 private:
  int Node(int ix, int iz) const { return ix * (countZ_ + 1) + iz; }

  int countX_, countZ_;
  const StandardXmlTags& tags_;
  long long next_ = 0;
};

std::string ContourMethodText(int method, const StandardXmlTags& tags) {
  switch (method) {
    case 1: return tags.contourText;
    case 0: return tags.grid;
    case -1: return tags.no_color;
    default: return {};
  }
}

std::string ContourLineText(int flag, const StandardXmlTags& tags) {
  if (flag == 1) return tags.trueText;
  if (flag == 0 || flag == -1) return tags.falseText;
  return {};
}

void WriteHeader(DomNode line, const GeoPlotSection& section, const StandardXmlTags& tags, int lineIndex) {
  DomNode header = AppendContainer(line, tags.header);

  DomNode investigation = AppendContainer(header, tags.investigation);
  section.investigationInfo->WriteXml(investigation, tags);
  if (section.investigationInfo->IsLeveeInvestigation())
    section.leveeInfo->WriteXml(AppendContainer(investigation, tags.levee), tags);

  DomNode location = AppendContainer(header, tags.location);
  AppendIntElement(location, tags.location_n_node, 2);
  const std::string_view pointName[] = {tags.location_i_node};
  const SurveyLocation* points[] = {&section.startPoint, &section.endPoint};
  const float distances[] = {section.startDistance, section.endDistance};
  for (int end = 0; end < 2; ++end) {
    DomNode point = AppendContainer(location, tags.location_node_of_location);
    const int pointIndex[] = {end};
    SetIntAttributes(point, pointName, pointIndex);
    AppendFloatElement(point, tags.location_latitude, points[end]->x);
    AppendFloatElement(point, tags.location_longitude, points[end]->y);
    AppendFloatElement(point, tags.location_distance, distances[end]);
  }

  DomNode survey = AppendContainer(header, tags.survey);
  AppendTextElement(survey, tags.survey_method, section.surveyInfo->method);
  AppendIntElement(survey, tags.survey_section_index, lineIndex);
  section.surveyInfo->acquisitionInfo->WriteXml(AppendContainer(survey, tags.acquisition), tags);
  section.surveyInfo->analysisInfo->WriteXml(AppendContainer(survey, tags.analysis), tags);
}

void WriteView(DomNode sectionElement, const GeoPlotSection& section, const StandardXmlTags& tags) {
  DomNode view = AppendContainer(sectionElement, tags.view);
  DomNode axis = AppendContainer(view, tags.axis);
  AppendFloatElement(axis, tags.axis_xst, section.axisXStart);
  AppendFloatElement(axis, tags.axis_xe, section.axisXEnd);
  AppendFloatElement(axis, tags.axis_xi, section.axisXInterval);
  AppendIntElement(axis, tags.axis_nx, section.axisXTickCount);
  AppendFloatElement(axis, tags.axis_yst, section.axisYStart);
  AppendFloatElement(axis, tags.axis_ye, section.axisYEnd);
  AppendFloatElement(axis, tags.axis_yi, section.axisYInterval);
  AppendIntElement(axis, tags.axis_ny, section.axisYTickCount);

  DomNode contour = AppendContainer(view, tags.contour);
  AppendTextElement(contour, tags.contour_method, ContourMethodText(section.contourMethod, tags));
  AppendTextElement(contour, tags.contour_line, ContourLineText(section.contourLineFlag, tags));
  const int count = std::clamp(section.boundaryCount, 0, GeoPlotSection::kMaximumBoundaries);
  AppendIntElement(contour, tags.n_contour, count);
  const std::string_view names[] = {tags.i_contour_boundary, tags.r, tags.g, tags.b};
  for (int i = 0; i < count; ++i) {
    DomNode boundary = AppendContainer(contour, tags.contour_boundary);
    const int values[] = {i, section.boundaryRed[i], section.boundaryGreen[i], section.boundaryBlue[i]};
    SetIntAttributes(boundary, names, values);
    AppendFloatElement(boundary, tags.boundary_value, section.boundaryValues[i]);
  }
}

// 10000 over the scale factor, cut to a whole number.
float CommonScale(float scaleFactor) {
  const float scale = 10000.0f / scaleFactor;
  return std::isfinite(scale) && std::fabs(scale) < 2.0e9f ? static_cast<float>(static_cast<int>(scale)) : scale;
}

// Builds the document and saves it; DomError for anything that goes wrong.
void BuildAndSave(const std::string& path, GeoPlotData& data, const std::filesystem::path& templateFolder,
                  const StandardXmlTags& tags, bool japanese, bool& copyFailed) {
  auto document = CreateDomDocument();
  DomNode root = nullptr;
  std::filesystem::path templatePath;
  if (!templateFolder.empty()) {
    templatePath = templateFolder / (japanese ? kJapaneseTemplateName : kEnglishTemplateName);
    // Only the Japanese template was probed: without its English neighbour the file is
    // made from scratch rather than on an empty document.
    if (!CanRead(templatePath)) {
      Trace("XML template %s not found; writing without a template\n", templatePath.string());
      templatePath.clear();
    }
  }
  if (!templatePath.empty()) {
    document->Load(templatePath);
    root = document->DocumentElement();
    if (!root)
      throw DomError(DomStatus::NoRootElement, "documentElement",
                     "the template " + templatePath.string() + " has no root element");
  } else {
    AppendChild(document->AsNode(), document->CreateProcessingInstruction("xml", kDeclaration));
    AppendChild(document->AsNode(), document->CreateComment(kComment));
    root = AppendChild(document->AsNode(), document->CreateElement(tags.geophysical_sections));
  }

  AppendTextElement(root, tags.language, tags.English);
  DomNode database = AppendContainer(root, tags.database);
  AppendTextElement(database, tags.database_version, kDatabaseVersion);
  const int lineCount = static_cast<int>(data.sections.size());
  AppendIntElement(root, tags.number_of_lines, lineCount);

  for (int line = 0; line < lineCount && line < GeoPlotData::kMaximumLines; ++line) {
    GeoPlotSection& section = *data.sections[line];
    section.AllocateNodeArrays(data.lastIndexX[line] + 1, data.lastIndexZ[line] + 1);
    if (!section.CopyNodeArrays(data.lastIndexX[line], data.lastIndexZ[line], data.nodeX[line], data.nodeZ[line],
                                data.nodeValue[line])) {
      section.ReleaseNodeArrays();
      copyFailed = true;
      return;
    }
    WriteLine(AppendContainer(root, tags.line), section, tags, line);
    section.ReleaseNodeArrays();
  }

  DomNode commonView = AppendContainer(root, tags.common_view);
  AppendFloatElement(commonView, tags.scale, CommonScale(data.scaleFactor));
  AppendFloatElement(commonView, tags.vertical_horizontal_ratio, data.aspectRatio);

  document->Save(path);
}

}  // namespace

void WriteLine(DomNode line, const GeoPlotSection& section, const StandardXmlTags& tags, int lineIndex) {
  WriteHeader(line, section, tags, lineIndex);

  DomNode sectionElement = AppendContainer(line, tags.section);
  AppendIntElement(sectionElement, tags.section_index, lineIndex);
  AppendTextElement(sectionElement, tags.section_format, kSectionFormat);
  AppendTextElement(sectionElement, tags.data_method, tags.NODE);
  AppendTextElement(sectionElement, tags.data_area, tags.NODE_DEFINITION);
  const int countX = section.elementCountX, countZ = section.elementCountZ;
  DomNode grid = AppendContainer(sectionElement, tags.section_grid);
  AppendIntElement(grid, tags.grid_nx, countX);
  AppendIntElement(grid, tags.grid_nz, countZ);

  auto nodes = std::make_shared<LineNodes>();
  nodes->x = section.nodeX;
  nodes->z = section.nodeZ;
  nodes->value = section.nodeValue;
  nodes->elementCountX = countX;
  nodes->elementCountZ = countZ;
  DomNode nodeDefinition = AppendContainer(sectionElement, tags.node_definition);
  AppendIntElement(nodeDefinition, tags.node_n_node, (countX + 1) * (countZ + 1));
  AppendDuringSave(nodeDefinition, NodeDefinitionProducer(std::move(nodes), tags));

  DomNode elementDefinition = AppendContainer(sectionElement, tags.element_definition);
  AppendIntElement(elementDefinition, tags.element_n_element, countX * countZ);
  AppendDuringSave(elementDefinition, ElementDefinitionProducer(countX, countZ, tags));

  AppendContainer(sectionElement, tags.data_definition);
  AppendTextElement(sectionElement, tags.physical_property, section.propertyText);
  AppendTextElement(sectionElement, tags.unit, section.unitText);
  WriteView(sectionElement, section, tags);
}

std::string GetProgramFolder(const std::string& startFolder) {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::string folder = executable.parent_path().string();
    if (!folder.empty()) return folder;
  }
  return startFolder;
}

std::vector<std::filesystem::path> TemplateFolders(const std::string& programFolder) {
  return {std::filesystem::path(GRIDORA_DATA_DIR), std::filesystem::path(programFolder)};
}

bool WriteStandardXml(const std::string& path, GeoPlotData& data, const std::string& programFolder, bool japanese,
                      std::string& problem) {
  return WriteStandardXmlWithTemplates(path, data, TemplateFolders(programFolder), japanese, problem);
}

bool WriteStandardXmlWithTemplates(const std::string& path, GeoPlotData& data,
                                   const std::vector<std::filesystem::path>& templateFolders, bool japanese,
                                   std::string& problem) {
  std::filesystem::path templateFolder;
  for (const auto& folder : templateFolders) {
    if (!folder.empty() && CanRead(folder / kJapaneseTemplateName)) {
      templateFolder = folder;
      break;
    }
  }

  const StandardXmlTags2011 english;
  const JapaneseXmlTags2011 inJapanese;
  const StandardXmlTags& tags = japanese ? static_cast<const StandardXmlTags&>(inJapanese) : english;

  std::string failure;
  try {
    bool copyFailed = false;
    BuildAndSave(path, data, templateFolder, tags, japanese, copyFailed);
    if (copyFailed) {
      problem = "Error in memory data copy !";
      return false;
    }
  } catch (const DomError& error) {
    failure = error.what();
  } catch (const std::bad_alloc&) {
    failure = "not enough memory";
  }
  for (auto& section : data.sections) section->ReleaseNodeArrays();
  if (!failure.empty()) {
    problem = fmt::sprintf("Cannot save the standard XML file %s: %s", path, failure);
    return false;
  }
  return true;
}

}  // namespace gridora

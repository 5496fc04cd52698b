#pragma once
// The section data of one standard XML export: the grid copied into the shape the
// standard describes, a list of lines (vertical sections), each with its node grid,
// the two ends of the line, its axes and contour boundaries and its survey metadata.
//
// The grid's X is the section's horizontal axis and the grid's Y its vertical axis
// ("z" in the standard's names). A node is addressed (ix, iz) with iz = 0 at the top,
// so the vertical order is the grid's reversed.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "document/contour_levels.h"
#include "xml/survey_metadata.h"

namespace gridora {

class Profile;
struct GridModel;

// A float matrix [columns][rows] of nodes, zero-filled.
class NodeMatrix {
 public:
  void Allocate(int countX, int countZ);
  void Release();
  bool Empty() const { return values_.empty(); }
  int CountX() const { return countX_; }
  int CountZ() const { return countZ_; }
  float& operator()(int ix, int iz) { return values_[Index(ix, iz)]; }
  float operator()(int ix, int iz) const { return values_[Index(ix, iz)]; }

 private:
  std::size_t Index(int ix, int iz) const { return static_cast<std::size_t>(ix) * countZ_ + iz; }
  int countX_ = 0, countZ_ = 0;
  std::vector<float> values_;
};

struct GeoPlotSection {
  static constexpr int kMaximumBoundaries = ContourLevels::kMaximumCount;

  explicit GeoPlotSection(Profile& profile);

  // Sizes the node matrices for countX x countZ nodes (zero-filled).
  void AllocateNodeArrays(int countX, int countZ);
  // Copies nodes ix = 0..lastX, iz = 0..lastZ of the line's matrices and sets the element
  // counts to the two indices. False when the matrices are not allocated or the nodes
  // do not fit (here or in the source).
  bool CopyNodeArrays(int lastX, int lastZ, const NodeMatrix& x, const NodeMatrix& z, const NodeMatrix& value);
  void ReleaseNodeArrays();

  int arraysAllocated = 0;
  NodeMatrix nodeX, nodeZ, nodeValue;
  int allocatedCountX = 0, allocatedCountZ = 0;
  int elementCountX = 0, elementCountZ = 0;
  SurveyLocation startPoint, endPoint;
  float startDistance = 0.0f, endDistance = 0.0f;
  std::string unitText;
  std::string propertyText;
  float axisXInterval = 0.0f, axisYInterval = 0.0f;
  float axisXStart = 0.0f, axisXEnd = 0.0f;
  float axisYStart = 0.0f, axisYEnd = 0.0f;
  int axisXTickCount = 0, axisYTickCount = 0;
  std::array<float, kMaximumBoundaries> boundaryValues{};
  std::array<int, kMaximumBoundaries> boundaryRed{}, boundaryGreen{}, boundaryBlue{};
  int boundaryCount = 0;
  int contourLineFlag = -1;  // 1 contour lines shown; 0 or -1 not
  int contourMethod = -1;    // 1 contour, 0 grid, -1 no colour
  std::unique_ptr<InvestigationInformation> investigationInfo;
  std::unique_ptr<SurveyInformation> surveyInfo;
  std::unique_ptr<LeveeInformation> leveeInfo;
};

class GeoPlotData {
 public:
  static constexpr int kMaximumLines = 20;

  // Node matrices of one line at [nx + 1][ny + 1] and one section, whose metadata
  // records read the profile.
  void CreateLineStorage(Profile& profile, int nx, int ny);
  // Units, property name, axis defaults and boundary count of the first lineCount
  // sections; the plot's scale factor and aspect ratio.
  void InitialiseSections(int lineCount, int nx, int ny);

  std::vector<std::unique_ptr<GeoPlotSection>> sections;
  std::vector<NodeMatrix> nodeX, nodeZ, nodeValue;  // per line
  std::array<int, kMaximumLines> lastIndexX{}, lastIndexZ{};
  float scaleFactor = 10.0f;
  float aspectRatio = 1.0f;
};

// One line built from layer 0 of the grid, its display window and its contour levels.
// nullptr when the grid holds no values for its NX x NY nodes.
std::unique_ptr<GeoPlotData> BuildSectionData(const GridModel& grid, Profile& profile);

}  // namespace gridora

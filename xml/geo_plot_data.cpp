#include "xml/geo_plot_data.h"

#include <algorithm>

#include "document/grid_model.h"

namespace gridora {

void NodeMatrix::Allocate(int countX, int countZ) {
  countX_ = std::max(countX, 0);
  countZ_ = std::max(countZ, 0);
  values_.assign(static_cast<std::size_t>(countX_) * countZ_, 0.0f);
}

void NodeMatrix::Release() {
  countX_ = countZ_ = 0;
  values_ = {};
}

GeoPlotSection::GeoPlotSection(Profile& profile)
    : investigationInfo(std::make_unique<InvestigationInformation>(profile)),
      surveyInfo(std::make_unique<SurveyInformation>(profile)),
      leveeInfo(std::make_unique<LeveeInformation>(profile)) {}

void GeoPlotSection::AllocateNodeArrays(int countX, int countZ) {
  allocatedCountX = countX;
  allocatedCountZ = countZ;
  nodeX.Allocate(countX, countZ);
  nodeZ.Allocate(countX, countZ);
  nodeValue.Allocate(countX, countZ);
  arraysAllocated = 1;
}

bool GeoPlotSection::CopyNodeArrays(int lastX, int lastZ, const NodeMatrix& x, const NodeMatrix& z,
                                    const NodeMatrix& value) {
  if (!arraysAllocated) return false;
  // Node lastX is copied, so it must lie inside both this section's matrices and the
  // line's.
  if (lastX < 0 || lastZ < 0 || lastX >= allocatedCountX || lastZ >= allocatedCountZ) return false;
  for (const NodeMatrix* source : {&x, &z, &value})
    if (lastX >= source->CountX() || lastZ >= source->CountZ()) return false;
  elementCountX = lastX;
  elementCountZ = lastZ;
  for (int ix = 0; ix <= lastX; ++ix) {
    for (int iz = 0; iz <= lastZ; ++iz) {
      nodeX(ix, iz) = x(ix, iz);
      nodeZ(ix, iz) = z(ix, iz);
      nodeValue(ix, iz) = value(ix, iz);
    }
  }
  return true;
}

void GeoPlotSection::ReleaseNodeArrays() {
  nodeX.Release();
  nodeZ.Release();
  nodeValue.Release();
  arraysAllocated = 0;
}

void GeoPlotData::CreateLineStorage(Profile& profile, int nx, int ny) {
  nodeX.assign(1, {});
  nodeZ.assign(1, {});
  nodeValue.assign(1, {});
  nodeX[0].Allocate(nx + 1, ny + 1);
  nodeZ[0].Allocate(nx + 1, ny + 1);
  nodeValue[0].Allocate(nx + 1, ny + 1);
  sections.clear();
  sections.push_back(std::make_unique<GeoPlotSection>(profile));
}

void GeoPlotData::InitialiseSections(int lineCount, int /*nx*/, int /*ny*/) {
  const int count = std::min<int>(lineCount, static_cast<int>(sections.size()));
  for (int line = 0; line < count; ++line) {
    GeoPlotSection& section = *sections[line];
    section.unitText = "()";
    section.propertyText = "Legend";
    section.axisXInterval = section.axisYInterval = 10.0f;
    section.axisXStart = section.axisXEnd = section.axisYStart = section.axisYEnd = 0.0f;
    section.boundaryCount = 20;
  }
  scaleFactor = 10.0f;
  aspectRatio = 1.0f;
}

std::unique_ptr<GeoPlotData> BuildSectionData(const GridModel& grid, Profile& profile) {
  const int nx = grid.NX, ny = grid.NY;
  if (nx < 1 || ny < 1 || grid.layerCount < 1 || grid.values.size() < grid.NodeCount()) return nullptr;
  auto data = std::make_unique<GeoPlotData>();
  data->CreateLineStorage(profile, nx, ny);
  data->InitialiseSections(1, nx, ny);

  NodeMatrix& nodeX = data->nodeX[0];
  NodeMatrix& nodeZ = data->nodeZ[0];
  NodeMatrix& nodeValue = data->nodeValue[0];
  for (int ix = 0; ix < nx; ++ix) {
    const float x = static_cast<float>(ix) * grid.DX + grid.x0;
    const float* column = grid.Column(0, ix);
    for (int iy = 0; iy < ny; ++iy) {
      const int iz = ny - 1 - iy;  // iz = 0 is the top of the section
      nodeX(ix, iz) = x;
      nodeZ(ix, iz) = static_cast<float>(iy) * grid.DY + grid.y0;
      nodeValue(ix, iz) = column[iy];
    }
  }
  data->lastIndexX[0] = nx - 1;
  data->lastIndexZ[0] = ny - 1;

  GeoPlotSection& section = *data->sections[0];
  section.axisXStart = grid.xStart;
  section.axisXEnd = grid.xEnd;
  section.axisXInterval = grid.xInterval;
  section.axisXTickCount = grid.xTickCount;
  section.axisYStart = grid.yStart;
  section.axisYEnd = grid.yEnd;
  section.axisYInterval = grid.yInterval;
  section.axisYTickCount = grid.yTickCount;

  const ContourLevels& levels = grid.contourLevels;
  section.boundaryCount = std::clamp(levels.count, 0, GeoPlotSection::kMaximumBoundaries);
  for (int k = 0; k < section.boundaryCount; ++k) {
    section.boundaryValues[k] = levels.levels[k];
    section.boundaryRed[k] = static_cast<int>(levels.boundaryRed[k]);
    section.boundaryGreen[k] = static_cast<int>(levels.boundaryGreen[k]);
    section.boundaryBlue[k] = static_cast<int>(levels.boundaryBlue[k]);
  }
  return data;
}

}  // namespace gridora

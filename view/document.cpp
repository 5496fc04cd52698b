#include "view/document.h"

#include <filesystem>
#include <system_error>

#include "geostat/kriging_options.h"
#include "geostat/kriging_state.h"
#include "platform/diagnostic_file.h"
#include "platform/profile.h"
#include "render/cell_renderer.h"
#include "render/chart_axes.h"
#include "render/color_scale.h"
#include "render/drawing_parameter.h"

namespace gridora {

Document::Document(Profile& profile) : profile_(profile) {
  // Preferences > Write diagnostic files, kept in the profile.
  SetDiagnosticFilesEnabled(ReadProfileInt(profile_, kDiagnosticFilesKey, 1) != 0);
  std::error_code error;
  startFolder = std::filesystem::current_path(error).string();
  grid = CreateGridModel(profile_);
  ReadProfileFloat(profile_, "ScaleX", grid->scaleX);
  ReadProfileFloat(profile_, "ScaleZ", grid->scaleY);
  primaryData = CreateRandomData();
  colorScale = std::make_unique<ColorScale>();
  mapParameter = std::make_unique<DrawingParameters>();
  mapParameter->marginBottom = 100;
  cellRenderer = std::make_unique<CellRenderer>();
  chartParameter = std::make_unique<DrawingParameters>();
  chartAxes = std::make_unique<ChartAxes>();
  chartAxes->xLabelsBelow = 1;
  chartAxes->xTimeUnit = ReadProfileInt(profile_, "iXAxisUnit", 0);
  chartAxes->yTimeUnit = ReadProfileInt(profile_, "iYAxisUnit", 0);
}

Document::~Document() = default;

void Document::SaveScaleSettings() {
  if (!grid) return;
  WriteProfileFloat(profile_, "ScaleX", grid->scaleX);
  WriteProfileFloat(profile_, "ScaleZ", grid->scaleY);
}

void Document::DeleteAllData() {
  // Build the replacements first so that a failed allocation leaves the data in place.
  auto newGrid = CreateGridModel(profile_);
  auto newPoints = CreateRandomData();
  grid = std::move(newGrid);
  primaryData = std::move(newPoints);
  // What was shown of the old data goes with it: the view returns to the empty state.
  krigingState.reset();
  directionalVariograms.reset();
  variogramMap.reset();
  proposedAngle = proposedRatio = 0.0;
  chartMode = ChartMode::None;
  variableSelection = 0;
  logScale = 0;
  mapBitmapDirty = 1;
}

}  // namespace gridora

#pragma once
// The one document of the program: the grid, the point sets and everything needed to
// show them. It lives for the whole run; New and Open reuse it.
#include <memory>
#include <string>
#include <vector>

#include "document/grid_model.h"
#include "document/polyline.h"
#include "document/random_data.h"
#include "platform/drawing_context.h"

namespace gridora {

class Profile;
class ColorScale;
class CellRenderer;
struct TracedBandsCache;
class KrigingState;
struct KrigingOptions;
struct DrawingParameters;
struct ChartAxes;
class DocumentHistory;
struct TrendSurface;
struct DriftRaster;
struct DirectionalVariograms;
struct VariogramMap;

// What the view shows in place of the map, if anything.
enum class ChartMode {
  None,             // the map
  Variogram,        // the experimental and fitted variograms
  CrossValidation,  // the cross-validation scatter chart
  Directional,      // the experimental variograms by direction
  VariogramMap,     // the variogram surface
};

// Profile key of Preferences > Write diagnostic files (1 on, 0 off).
inline constexpr const char* kDiagnosticFilesKey = "iDiagnosticFiles";

class Document {
 public:
  explicit Document(Profile& profile);
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Writes scaleX to "ScaleX" and scaleY to "ScaleZ" when the grid exists.
  void SaveScaleSettings();
  // Replaces the grid and the primary points by new empty ones (scales 1.0, the
  // profile's scales are not read again) and drops what only showed them: the kriging
  // state (its variograms and inverse were fitted to the deleted points), the variogram
  // chart, the variable selection and the log scale. The secondary points stay.
  void DeleteAllData();

  Profile& profile() { return profile_; }

  // Scroll area of the view, logical units.
  int scrollSizeX = 16000, scrollSizeY = 16000;
  std::unique_ptr<ColorScale> colorScale;
  int scaleFromFile = 0;
  ChartMode chartMode = ChartMode::None;
  int scaleFitted = 0;
  int layerIndex = 0;
  int mapBitmapDirty = 1;
  PixelMap mapBitmap;
  std::unique_ptr<DrawingParameters> mapParameter;
  std::unique_ptr<CellRenderer> cellRenderer;
  // The band modes' last traced map body (view/traced_band_cache.h).
  std::shared_ptr<TracedBandsCache> tracedBands;
  std::unique_ptr<DrawingParameters> chartParameter;
  std::unique_ptr<ChartAxes> chartAxes;
  int marginLeft = 200, marginTop = 150;
  int legendRight = 0, mapBottom = 0;
  int logScale = 0;
  std::string startFolder;
  std::unique_ptr<KrigingState> krigingState;
  std::unique_ptr<GridModel> grid;
  std::unique_ptr<RandomData> primaryData;
  std::unique_ptr<RandomData> secondaryData;
  std::string dataFolder;
  float contourInterval = 0.0f, contourMinimum = 0.0f, contourMaximum = 0.0f;
  int variableSelection = 0;
  // The kriging options of this document (made from the profile on first use) and the
  // "Standard error" view: layer 1 of a kriging grid shown in place of the estimate.
  std::unique_ptr<KrigingOptions> krigingOptions;
  int showStandardError = 0;
  // The points' labels written beside their markers while "Show random data" shows them
  // (View > Point labels). Not kept in the document file.
  int showPointLabels = 0;
  // Faults of minimum curvature, in map coordinates ("Faults (breaklines)"): drawn on the
  // map and kept for the session (New and Open leave them; "Clear faults" removes them).
  // Not written to the document file.
  std::vector<Polyline> breaklines;
  // The trend surface the last "Trend surface" took out of the points, for "Add trend".
  std::shared_ptr<const TrendSurface> trend;
  // The rasters of kriging with external drift ("Add drift raster"), in the order added:
  // kept for the session like the faults (New and Open leave them; "Clear drift" removes
  // them), not written to the document file. The next "Variogram" takes them.
  std::vector<std::shared_ptr<const DriftRaster>> driftRasters;
  // The last directional variograms and variogram map, for their charts, and the
  // anisotropy the map proposed (valid when proposedRatio > 0).
  std::shared_ptr<const DirectionalVariograms> directionalVariograms;
  std::shared_ptr<const VariogramMap> variogramMap;
  double proposedAngle = 0.0, proposedRatio = 0.0;

  // Path of the document file last opened or saved (empty for a new document).
  std::string pathName;

  // Changed since it was made new, opened or saved: points, grid, levels or options
  // (set by the undo history, history/document_history.h, after each command).
  bool modified = false;
  // The undo and redo steps of this document, made by the history on first use.
  std::shared_ptr<DocumentHistory> history;

 private:
  Profile& profile_;
};

}  // namespace gridora

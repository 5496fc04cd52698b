// The Python module `gridora`: gridding of numpy arrays by minimum curvature, kriging
// and inverse distance, cross-validation, and grid files read and written. Each call is
// a job of batch lines on a document of its own (cli/batch_session.h): the same
// commands, checks and messages as the window and the batch mode, with the diagnostic
// files in a scratch folder. A line that cannot run raises ValueError with its message.
//
// The interpreter lock is released while a job runs. The jobs share the process's
// current folder (the batch commands write into it), so they run one at a time.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "cli/batch_session.h"
#include "document/grid_model.h"
#include "document/hidden_nodes.h"
#include "document/random_data.h"
#include "exchange/grid_export.h"
#include "geostat/kriging_state.h"
#include "platform/number_text.h"
#include "platform/profile.h"

namespace py = pybind11;

namespace gridora {
namespace {

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A grid as Python sees it: node coordinates, values (ny, nx) with row 0 at ymin, NaN
// where a node has no value, and the standard error or nothing.
struct PyGrid {
  std::vector<double> x, y;
  std::vector<double> values;  // ny * nx, row by row from ymin
  std::optional<std::vector<double>> error;
  double dx = 1.0, dy = 1.0;
  int nx = 0, ny = 0;
};

py::array_t<double> Vector(const std::vector<double>& v) {
  py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
  std::copy(v.begin(), v.end(), a.mutable_data());
  return a;
}

py::array_t<double> Rows(const std::vector<double>& v, int ny, int nx) {
  py::array_t<double> a({static_cast<py::ssize_t>(ny), static_cast<py::ssize_t>(nx)});
  std::copy(v.begin(), v.end(), a.mutable_data());
  return a;
}

// The document's grid, layer 0 and the standard-error layer, as a PyGrid.
PyGrid FromDocumentGrid(const GridModel& grid) {
  PyGrid out;
  out.nx = grid.NX;
  out.ny = grid.NY;
  out.dx = grid.DX;
  out.dy = grid.DY;
  for (int i = 0; i < grid.NX; ++i) out.x.push_back(grid.x0 + i * grid.DX);
  for (int j = 0; j < grid.NY; ++j) out.y.push_back(grid.y0 + j * grid.DY);
  const HiddenNodes hidden(grid);
  auto layer = [&](int index) {
    std::vector<double> rows(grid.NodeCount());
    for (int j = 0; j < grid.NY; ++j)
      for (int i = 0; i < grid.NX; ++i)
        rows[static_cast<std::size_t>(j) * grid.NX + i] =
            hidden.Hidden(i, j) ? std::nan("") : static_cast<double>(grid.Value(index, i, j));
    return rows;
  };
  out.values = layer(0);
  if (const int errorLayer = StandardErrorLayer(grid); errorLayer >= 0) out.error = layer(errorLayer);
  return out;
}

// Raises ValueError with the job's one line.
void Step(BatchSession& session, const std::string& line) {
  std::string problem;
  if (!session.Run(line, problem)) throw py::value_error(problem);
}

std::string Number(double value) { return FormatRoundTrip(value); }

// Points checked while the interpreter lock is held: three one-dimensional arrays of
// one length, read where they lie when they are already contiguous float64.
struct Points {
  DoubleArray x, y, z;
  std::size_t count = 0;
};

Points CheckPoints(const py::handle& xs, const py::handle& ys, const py::handle& zs) {
  Points p{DoubleArray::ensure(xs), DoubleArray::ensure(ys), DoubleArray::ensure(zs)};
  if (!p.x || !p.y || !p.z) throw py::value_error("x, y and z must be arrays of numbers");
  for (const DoubleArray* a : {&p.x, &p.y, &p.z})
    if (a->ndim() != 1) throw py::value_error("x, y and z must be one-dimensional arrays");
  p.count = static_cast<std::size_t>(p.x.size());
  if (static_cast<std::size_t>(p.y.size()) != p.count || static_cast<std::size_t>(p.z.size()) != p.count)
    throw py::value_error("x, y and z must have the same length (" + std::to_string(p.x.size()) + ", " +
                          std::to_string(p.y.size()) + ", " + std::to_string(p.z.size()) + ")");
  if (p.count == 0) throw py::value_error("no points: x, y and z are empty");
  if (p.count > static_cast<std::size_t>(RandomData::kCapacity))
    throw py::value_error("too many points: at most " + std::to_string(RandomData::kCapacity) + " are taken");
  return p;
}

// The points into the job's document, as a reader would leave them. Runs without the
// interpreter lock: the arrays are held by `p`.
void LoadPoints(BatchSession& session, const Points& p) {
  RandomData& data = *session.doc().primaryData;
  const double *x = p.x.data(), *y = p.y.data(), *z = p.z.data();
  for (std::size_t k = 0; k < p.count; ++k)
    if (!std::isfinite(x[k]) || !std::isfinite(y[k]) || !std::isfinite(z[k]))
      throw py::value_error("point No." + std::to_string(k + 1) + " (counted from 1) has a value that is not finite");
  data.count = static_cast<int>(p.count);
  data.labels.clear();
  data.StartRanges();
  for (std::size_t k = 0; k < p.count; ++k) {
    data.points[k] = DataPoint{x[k], y[k], z[k]};
    data.ExtendRanges(data.points[k]);
  }
}

// The grid-layout keys of a region (xmin, xmax, ymin, ymax) and a spacing (dx, dy).
std::string LayoutKeys(const std::vector<double>& region, const std::vector<double>& spacing) {
  if (region.size() != 4) throw py::value_error("region must be (xmin, xmax, ymin, ymax)");
  if (spacing.size() != 2) throw py::value_error("spacing must be (dx, dy)");
  return " xmin=" + Number(region[0]) + " xmax=" + Number(region[1]) + " ymin=" + Number(region[2]) +
         " ymax=" + Number(region[3]) + " dx=" + Number(spacing[0]) + " dy=" + Number(spacing[1]);
}

// The population variance of z: the kriging standardises by it, so a sill or nugget in
// squared data units is divided by it for the kriging's own keys.
double Variance(const Points& p) {
  const double* z = p.z.data();
  double mean = 0.0;
  for (std::size_t k = 0; k < p.count; ++k) mean += z[k];
  mean /= static_cast<double>(p.count);
  double squares = 0.0;
  for (std::size_t k = 0; k < p.count; ++k) squares += (z[k] - mean) * (z[k] - mean);
  return squares / static_cast<double>(p.count);
}

struct ModelArguments {
  std::string model = "exponential";
  std::optional<double> range, sill;
  double nugget = 0.0;
  std::string type = "ordinary";
  int neighbours = 0;
  std::optional<std::string> drift;
};

// kriging-options, variogram and, when a range or sill is given, set-variogram: the
// model of the job fitted or set, in the kriging's standardised units.
void SetUpKriging(BatchSession& session, const ModelArguments& m, double variance) {
  if (!(variance > 0.0)) throw py::value_error("the values z are all equal: there is nothing to krige");
  if (m.range && !(*m.range > 0.0)) throw py::value_error("range must be greater than 0");
  if (m.sill && !(*m.sill > 0.0)) throw py::value_error("sill must be greater than 0");
  if (!(m.nugget >= 0.0) || !std::isfinite(m.nugget)) throw py::value_error("nugget must be 0 or more");
  std::string options = "kriging-options model=" + BatchQuoted(m.model) + " type=" + BatchQuoted(m.type) +
                        " nugget=" + Number(m.nugget / variance) + " neighbours=" + std::to_string(m.neighbours) +
                        " fit=" + (m.range ? "specified" : "wls");
  if (m.drift) options += " drift=" + BatchQuoted(*m.drift);
  Step(session, options);
  Step(session, "variogram answer=no");
  if (m.range || m.sill) {
    std::string set = "set-variogram";
    if (m.range) set += " range=" + Number(*m.range);
    if (m.sill) set += " sill=" + Number(*m.sill / variance);
    Step(session, set);
  }
}

// Runs `job` without the interpreter lock.
template <typename Job>
auto Unlocked(Job job) {
  py::gil_scoped_release release;
  return job();
}

PyGrid MinCurvature(const py::handle& x, const py::handle& y, const py::handle& z, std::vector<double> region,
                    std::vector<double> spacing, std::optional<double> tension, bool exact) {
  const Points p = CheckPoints(x, y, z);
  const std::string layout = LayoutKeys(region, spacing);
  return Unlocked([&] {
    BatchSession session;
    LoadPoints(session, p);
    if (tension || exact) {
      std::string options = "surface-options";
      if (tension) options += " tension=" + Number(*tension);
      if (exact) options += " fit=exact";
      Step(session, options);
    }
    Step(session, "min-curvature" + layout);
    return FromDocumentGrid(*session.doc().grid);
  });
}

PyGrid Krige(const py::handle& x, const py::handle& y, const py::handle& z, std::vector<double> region,
             std::vector<double> spacing, const ModelArguments& m) {
  const Points p = CheckPoints(x, y, z);
  const std::string layout = LayoutKeys(region, spacing);
  return Unlocked([&] {
    BatchSession session;
    LoadPoints(session, p);
    SetUpKriging(session, m, Variance(p));
    // The standard error is kept by a plain kriging only when it is shown.
    if (session.doc().krigingState && session.doc().krigingState->inverse) Step(session, "standard-error");
    Step(session, "prediction" + layout);
    return FromDocumentGrid(*session.doc().grid);
  });
}

PyGrid Idw(const py::handle& x, const py::handle& y, const py::handle& z, std::vector<double> region,
           std::vector<double> spacing, double power, double radius, int maxPoints) {
  const Points p = CheckPoints(x, y, z);
  const std::string layout = LayoutKeys(region, spacing);
  return Unlocked([&] {
    BatchSession session;
    LoadPoints(session, p);
    Step(session, "idw" + layout + " power=" + Number(power) + " radius=" + Number(radius) +
                      " max-points=" + std::to_string(maxPoints));
    return FromDocumentGrid(*session.doc().grid);
  });
}

// The columns of cross_validation.csv.
const char* const kCrossValidationColumns[] = {
    "x", "y", "observed", "estimate", "residual", "standard_error", "standardised_residual"};

std::vector<std::vector<double>> ReadCrossValidation(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw py::value_error("the cross-validation wrote no " + path.filename().string());
  std::vector<std::vector<double>> columns(7);
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (header || line.empty()) {
      header = false;
      continue;
    }
    std::stringstream fields(line);
    std::string field;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      double value = std::nan("");
      if (!std::getline(fields, field, ',') || !ParseDouble(field, value)) value = std::nan("");
      columns[c].push_back(value);
    }
  }
  return columns;
}

py::dict CrossValidate(const py::handle& x, const py::handle& y, const py::handle& z, const ModelArguments& m) {
  const Points p = CheckPoints(x, y, z);
  const std::vector<std::vector<double>> columns = Unlocked([&] {
    BatchSession session;
    LoadPoints(session, p);
    SetUpKriging(session, m, Variance(p));
    Step(session, "cross-validation");
    return ReadCrossValidation(session.Scratch() / "cross_validation.csv");
  });
  py::dict result;
  for (std::size_t c = 0; c < columns.size(); ++c) result[kCrossValidationColumns[c]] = Vector(columns[c]);
  return result;
}

std::string Extension(const std::string& path) {
  std::string e = std::filesystem::path(path).extension().string();
  for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e;
}

PyGrid ReadGrid(const std::string& path) {
  return Unlocked([&] {
    BatchSession session;
    Step(session, (Extension(path) == ".snp" ? "open " : "open-raster ") + BatchQuoted(AbsolutePath(path)));
    const GridModel& read = *session.doc().grid;
    if (!read.HasValues() || read.NodeCount() == 0) throw py::value_error(path + " holds no grid");
    return FromDocumentGrid(read);
  });
}

// Writes a grid through the program's grid export: the format from the extension, the
// layer as export-grid's key `layer` names it.
void WriteGrid(const PyGrid& grid, const std::string& path, const std::optional<std::string>& crs,
               const std::string& layerName) {
  const std::optional<GridLayer> layer = GridLayerFromName(layerName);
  if (!layer) throw py::value_error("layer must be estimate, error or both, not '" + layerName + "'");
  if (*layer != GridLayer::Estimate && !grid.error) throw py::value_error("this grid has no standard error");
  MemoryProfile profile;
  std::unique_ptr<GridModel> model = CreateGridModel(profile);
  const int layers = grid.error ? 2 : 1;
  if (!model->Reshape(layers, grid.nx, grid.ny)) throw py::value_error("the grid is too large to write");
  model->x0 = grid.x.front();
  model->y0 = grid.y.front();
  model->DX = grid.dx;
  model->DY = grid.dy;
  model->emptyNodes.assign(model->NodeCount(), 0);
  bool anyEmpty = false;
  for (int layer = 0; layer < layers; ++layer) {
    const std::vector<double>& v = layer == 0 ? grid.values : *grid.error;
    for (int j = 0; j < grid.ny; ++j)
      for (int i = 0; i < grid.nx; ++i) {
        const double value = v[static_cast<std::size_t>(j) * grid.nx + i];
        const bool empty = !std::isfinite(value);
        model->Value(layer, i, j) = empty ? 0.0f : static_cast<float>(value);
        if (empty && layer == 0) {
          model->emptyNodes[static_cast<std::size_t>(i) * grid.ny + j] = 1;
          anyEmpty = true;
        }
      }
    model->ComputeLayerRange(layer);
  }
  if (!anyEmpty) model->emptyNodes.clear();
  const std::optional<GridFormat> format = GridFormatFromPath(path);
  if (!format)
    throw py::value_error("Cannot tell the grid format from the name " +
                          std::filesystem::path(path).filename().string() + ": use .tif, .asc, .grd or .nc.");
  GridExportRequest request;
  request.path = path;
  request.format = *format;
  request.layer = *layer;
  request.crs = crs.value_or("");
  std::vector<std::string> written;
  std::string problem;
  if (!ExportGrid(*model, request, written, problem)) throw py::value_error(problem);
}

ModelArguments Model(std::string model, std::optional<double> range, std::optional<double> sill, double nugget,
                     std::string type, int neighbours, std::optional<std::string> drift) {
  return {std::move(model), range, sill, nugget, std::move(type), neighbours, std::move(drift)};
}

// A batch script run as `gridora --batch SCRIPT` runs it (a fresh profile in memory),
// with `folder` as the current folder: the tests' oracle for the functions above.
py::tuple RunBatch(const std::string& script, const std::string& folder) {
  std::ostringstream out, err;
  int status = 2;
  {
    py::gil_scoped_release release;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    MemoryProfile profile;
    Document doc(profile);
    ScriptedUserInterface ui(out);
    BatchViewHost view(ui);
    status = RunBatchScript(script, doc, profile, ui, view, err);
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
  }
  return py::make_tuple(status, out.str(), err.str());
}

}  // namespace
}  // namespace gridora

PYBIND11_MODULE(gridora, m) {
  using namespace gridora;
  using namespace pybind11::literals;
  m.doc() =
      "Gridora: grid scattered (x, y, z) measurements by minimum curvature, kriging (with standard errors) or "
      "inverse distance, from numpy arrays.\n\n"
      "Each function runs the program's own commands on a document of its own, with the same checks and "
      "messages; bad input raises ValueError with the program's message. Arrays are float64; a grid's values "
      "have shape (ny, nx) with row 0 at ymin.";

  py::class_<PyGrid>(m, "Grid",
                     "A grid: node coordinates x (nx) and y (ny), values (ny, nx) with row 0 at ymin (NaN where a "
                     "node has no value), and error, the kriging standard error of the same shape, or None.")
      .def_property_readonly(
          "x", [](const PyGrid& g) { return Vector(g.x); }, "The x coordinates of the nodes' columns (nx).")
      .def_property_readonly(
          "y", [](const PyGrid& g) { return Vector(g.y); }, "The y coordinates of the nodes' rows (ny).")
      .def_property_readonly(
          "values", [](const PyGrid& g) { return Rows(g.values, g.ny, g.nx); },
          "The estimates, shape (ny, nx), row 0 at ymin; NaN where a node has no value.")
      .def_property_readonly(
          "error",
          [](const PyGrid& g) -> py::object {
            if (!g.error) return py::none();
            return Rows(*g.error, g.ny, g.nx);
          },
          "The kriging standard error, shape (ny, nx), or None.")
      .def_property_readonly(
          "shape", [](const PyGrid& g) { return py::make_tuple(g.ny, g.nx); }, "(ny, nx).")
      .def(
          "to_file",
          [](const PyGrid& g, const std::string& path, std::optional<std::string> crs, const std::string& layer) {
            py::gil_scoped_release release;
            WriteGrid(g, path, crs, layer);
          },
          "path"_a, "crs"_a = py::none(), "layer"_a = "estimate",
          "Writes the grid to `path` in the format its extension names (.tif GeoTIFF, .asc ESRI ASCII grid, .grd "
          "Surfer binary grid, .nc netCDF), each node at the centre of its pixel, nodes without a value as "
          "no-data. `crs`: EPSG:code, ESRI:code or WKT. `layer`: 'estimate', 'error' (the standard error) or "
          "'both' (a second band, or for single-band formats <name>_error.<ext>), as export-grid's key. Raises "
          "ValueError when the file cannot be written; the file that was there is then intact.")
      .def("__repr__", [](const PyGrid& g) {
        return "<gridora.Grid " + std::to_string(g.nx) + " x " + std::to_string(g.ny) + " nodes" +
               (g.error ? ", with standard error>" : ">");
      });

  m.def("min_curvature", &MinCurvature, "x"_a, "y"_a, "z"_a, "region"_a, "spacing"_a, "tension"_a = py::none(),
        "exact"_a = false,
        "Grids the points (x, y, z) by minimum curvature.\n\n"
        "region: (xmin, xmax, ymin, ymax), the first and last nodes; spacing: (dx, dy). Nodes lie at xmin + i*dx, "
        "ymin + j*dy. tension: 0 (curvature only) to 1 (tension only), None for the program's setting; exact: the "
        "surface passes through every point. Returns a Grid. Raises ValueError on bad input.");
  m.def(
      "krige",
      [](const py::handle& x, const py::handle& y, const py::handle& z, std::vector<double> region,
         std::vector<double> spacing, std::string model, std::optional<double> range, std::optional<double> sill,
         double nugget, std::string type, int neighbours, std::optional<std::string> drift) {
        return Krige(x, y, z, std::move(region), std::move(spacing),
                     Model(std::move(model), range, sill, nugget, std::move(type), neighbours, std::move(drift)));
      },
      "x"_a, "y"_a, "z"_a, "region"_a, "spacing"_a, "model"_a = "exponential", "range"_a = py::none(),
      "sill"_a = py::none(), "nugget"_a = 0.0, "type"_a = "ordinary", "neighbours"_a = 0, "drift"_a = py::none(),
      "Grids the points (x, y, z) by kriging, with the standard error.\n\n"
      "region: (xmin, xmax, ymin, ymax); spacing: (dx, dy). model: exponential, spherical, gaussian or matern. "
      "range, sill and nugget are in data units (sill and nugget in squared units of z): the exponential model is "
      "nugget + sill*(1 - exp(-h/range)). range=None fits the model by weighted least squares (with the nugget "
      "given); sill=None keeps the fitted sill. type: ordinary or simple. neighbours: the nearest points of each "
      "estimate, 0 for all. drift: None, 'linear' or 'quadratic' (universal kriging). Returns a Grid whose error "
      "is the standard error. Raises ValueError on bad input.");
  m.def("idw", &Idw, "x"_a, "y"_a, "z"_a, "region"_a, "spacing"_a, "power"_a = 2.0, "radius"_a = 0.0,
        "max_points"_a = 0,
        "Grids the points (x, y, z) by inverse-distance weighting.\n\n"
        "region: (xmin, xmax, ymin, ymax); spacing: (dx, dy). power: the exponent of the distance; radius: only "
        "points within it count (0: no limit); max_points: the nearest points of each node (0: all). Returns a "
        "Grid. Raises ValueError on bad input.");
  m.def(
      "cross_validate",
      [](const py::handle& x, const py::handle& y, const py::handle& z, std::string model, std::optional<double> range,
         std::optional<double> sill, double nugget, std::string type) {
        return CrossValidate(x, y, z, Model(std::move(model), range, sill, nugget, std::move(type), 0, std::nullopt));
      },
      "x"_a, "y"_a, "z"_a, "model"_a = "exponential", "range"_a = py::none(), "sill"_a = py::none(), "nugget"_a = 0.0,
      "type"_a = "ordinary",
      "Leave-one-out cross-validation of the kriging model, with the model's arguments as in krige.\n\n"
      "Returns a dict of arrays, one entry per point in the order of the data: x, y, observed, estimate, "
      "residual, standard_error, standardised_residual. Raises ValueError on bad input.");
  m.def("_run_batch", &RunBatch, "script"_a, "folder"_a,
        "For the tests: runs a batch script as `gridora --batch SCRIPT` does, with `folder` as the current "
        "folder and a fresh profile. Returns (exit status, standard output, standard error).");
  m.def("read_grid", &ReadGrid, "path"_a,
        "Reads a grid file: a raster (GeoTIFF, ESRI ASCII grid, Surfer grid, netCDF) or a document file (.snp). "
        "Returns a Grid (error is None for a raster). Raises ValueError when the file cannot be read.");
}

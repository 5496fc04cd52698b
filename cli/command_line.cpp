#include "cli/command_line.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <ostream>

#include "cli/batch_session.h"
#include "cli/command_line_help.h"
#include "cli/terminal_progress.h"
#include "document/grid_model.h"
#include "document/random_data.h"
#include "exchange/grid_export.h"
#include "geostat/kriging_state.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

// A refusal of the arguments or a failed step: the one line of the exit status 2.
struct Stop {
  std::string text;
};

// The words after the subcommand: options with their values, and the positional words.
class Arguments {
 public:
  // `valued`: the options that take a value; `flags`: those that take none.
  Arguments(const std::vector<std::string>& args, const std::vector<std::string>& valued,
            const std::vector<std::string>& flags) {
    for (std::size_t i = 1; i < args.size(); ++i) {
      std::string word = args[i];
      if (word.size() < 2 || word[0] != '-') {
        positional.push_back(word);
        continue;
      }
      std::optional<std::string> attached;
      if (const auto eq = word.find('='); word.compare(0, 2, "--") == 0 && eq != std::string::npos) {
        attached = word.substr(eq + 1);
        word.erase(eq);
      }
      if (word == "-o") word = "--output";
      if (word == "-h") word = "--help";
      if (std::find(flags.begin(), flags.end(), word) != flags.end()) {
        if (attached) throw Stop{word + " takes no value"};
        ++options[word];
        continue;
      }
      if (std::find(valued.begin(), valued.end(), word) == valued.end()) throw Stop{"unknown option " + args[i]};
      if (!attached && i + 1 >= args.size()) throw Stop{word + " needs a value"};
      const std::string value = attached ? *attached : args[++i];
      values[word].push_back(value);
      ++options[word];
      // --set KEY=VALUE may be followed by more KEY=VALUE words.
      if (word == "--set")
        while (i + 1 < args.size() && args[i + 1].find('=') != std::string::npos && args[i + 1][0] != '-')
          values[word].push_back(args[++i]);
    }
  }

  bool Has(const std::string& option) const { return options.count(option) != 0; }
  // The value of an option given at most once.
  std::optional<std::string> One(const std::string& option) const {
    const auto found = values.find(option);
    if (found == values.end()) return std::nullopt;
    if (found->second.size() > 1) throw Stop{option + " given more than once"};
    return found->second.front();
  }
  std::vector<std::string> All(const std::string& option) const {
    const auto found = values.find(option);
    return found == values.end() ? std::vector<std::string>{} : found->second;
  }
  // The one positional word (the input file).
  std::string Input(const char* what) const {
    if (positional.empty()) throw Stop{std::string("no ") + what + " given"};
    if (positional.size() > 1) throw Stop{"more than one " + std::string(what) + " given: '" + positional[1] + "'"};
    return positional.front();
  }

  std::vector<std::string> positional;
  std::map<std::string, std::vector<std::string>> values;
  std::map<std::string, int> options;
};

// A number given on the command line: the batch line gets the same text, so the
// dialogs convert it as they convert any key; here only its form is checked.
std::string Number(const std::string& text, const std::string& what) {
  double value = 0.0;
  if (!ParseDouble(text, value) || !std::isfinite(value)) throw Stop{what + " must be a number, not '" + text + "'"};
  return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Extension(const std::string& path) { return Lower(fs::path(path).extension().string()); }

bool IsRasterName(const std::string& path) {
  const std::string e = Extension(path);
  return e == ".tif" || e == ".tiff" || e == ".asc" || e == ".grd" || e == ".nc";
}

bool IsTableName(const std::string& path) {
  const std::string e = Extension(path);
  return e == ".csv" || e == ".tsv";
}

// The line that reads a point file: a document by its extension, a table with a header
// when columns are named or the extension says so, else space-delimited points.
std::string PointReadLine(const std::string& path, const std::optional<std::string>& columns) {
  const std::string quoted = BatchQuoted(AbsolutePath(path));
  if (Extension(path) == ".snp") {
    if (columns) throw Stop{"--columns is for tables; " + path + " is a document file"};
    return "open " + quoted;
  }
  if (!columns && !IsTableName(path)) return "open-random " + quoted;
  std::string line = "import-table " + quoted;
  if (columns) {
    const std::vector<std::string> names = Split(*columns, ',');
    if (names.size() != 3 || std::any_of(names.begin(), names.end(), [](const auto& n) { return n.empty(); }))
      throw Stop{"--columns takes three columns X,Y,Z, not '" + *columns + "'"};
    line += " x=" + BatchQuoted(names[0]) + " y=" + BatchQuoted(names[1]) + " z=" + BatchQuoted(names[2]);
  }
  return line;
}

// The line that reads a grid file.
std::string GridReadLine(const std::string& path) {
  const std::string quoted = BatchQuoted(AbsolutePath(path));
  return (Extension(path) == ".snp" ? "open " : "open-raster ") + quoted;
}

// Runs one line of the job; a failure stops the subcommand. `file`: the file the line
// reads, named in front of the reason (the readers' messages do not always name it).
void Step(BatchSession& session, const std::string& line, const std::string& file = {}) {
  std::string problem;
  if (!session.Run(line, problem)) throw Stop{file.empty() ? problem : file + ": " + problem};
}

// --set KEY=VALUE words as keys of a batch line.
std::string SetKeys(const std::vector<std::string>& sets) {
  std::string keys;
  for (const std::string& set : sets) {
    const auto eq = set.find('=');
    if (eq == std::string::npos || eq == 0) throw Stop{"--set takes KEY=VALUE, not '" + set + "'"};
    const std::string key = set.substr(0, eq);
    if (key.find_first_of(" \t\"=#") != std::string::npos) throw Stop{"--set: no such key '" + key + "'"};
    keys += " " + key + "=" + BatchQuoted(set.substr(eq + 1));
  }
  return keys;
}

// The grid-layout keys from --region and --spacing.
std::string LayoutKeys(const Arguments& a) {
  std::string keys;
  if (const auto region = a.One("--region")) {
    const std::vector<std::string> parts = Split(*region, '/');
    if (parts.size() != 4) throw Stop{"--region takes XMIN/XMAX/YMIN/YMAX, not '" + *region + "'"};
    const char* names[] = {"xmin", "xmax", "ymin", "ymax"};
    for (int k = 0; k < 4; ++k)
      keys += fmt::format(" {}={}", names[k], Number(parts[k], "--region's " + std::string(names[k])));
  }
  if (const auto spacing = a.One("--spacing")) {
    const std::vector<std::string> parts = Split(*spacing, '/');
    if (parts.size() > 2) throw Stop{"--spacing takes DX or DX/DY, not '" + *spacing + "'"};
    const std::string dx = Number(parts[0], "--spacing's DX");
    const std::string dy = parts.size() == 2 ? Number(parts[1], "--spacing's DY") : dx;
    keys += " dx=" + dx + " dy=" + dy;
  }
  return keys;
}

// One tile of a grid split into N strips of columns, for work spread over machines:
// tile I (1 to N) is gridded over its own columns and `overlap` map units more on each
// side, then cut to its own columns, so the tiles put side by side make the whole grid
// and agree at their seams as far as the overlap lets the method see across them.
struct TilePlan {
  int first = 0, count = 0;  // the tile's own columns of the whole grid
  int before = 0;            // columns of overlap gridded before them
  std::string layoutKeys;    // the grid-layout keys of the widened tile
};

TilePlan PlanTile(const Arguments& a, const std::string& tile) {
  const std::vector<std::string> parts = Split(tile, '/');
  int index = 0, total = 0;
  if (parts.size() != 2 || !ParseInt(parts[0], index) || !ParseInt(parts[1], total) || total < 1 || index < 1 ||
      index > total)
    throw Stop{"--tile takes I/N with 1 <= I <= N, not '" + tile + "'"};
  const auto region = a.One("--region");
  const auto spacing = a.One("--spacing");
  if (!region || !spacing) throw Stop{"--tile needs --region and --spacing: the whole grid must be fixed"};
  const std::vector<std::string> r = Split(*region, '/'), s = Split(*spacing, '/');
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0, dx = 0, dy = 0, overlap = 0;
  if (r.size() != 4 || !ParseDouble(r[0], xmin) || !ParseDouble(r[1], xmax) || !ParseDouble(r[2], ymin) ||
      !ParseDouble(r[3], ymax))
    throw Stop{"--region takes XMIN/XMAX/YMIN/YMAX, not '" + *region + "'"};
  if (s.empty() || s.size() > 2 || !ParseDouble(s[0], dx) || !(dx > 0.0) ||
      (s.size() == 2 && (!ParseDouble(s[1], dy) || !(dy > 0.0))))
    throw Stop{"--spacing takes DX or DX/DY, greater than 0, not '" + *spacing + "'"};
  if (const auto w = a.One("--overlap");
      w && (!ParseDouble(*w, overlap) || !(overlap >= 0.0) || !std::isfinite(overlap)))
    throw Stop{"--overlap must be a distance of 0 or more, not '" + *w + "'"};
  const double columns = std::floor((xmax - xmin) / dx + 1e-9) + 1.0;
  if (!(columns >= 2.0) || columns > 1e8) throw Stop{"--region and --spacing give no grid to split"};
  const int nx = static_cast<int>(columns);
  if (total > nx) throw Stop{fmt::format("--tile: {} tiles of a grid of {} columns", total, nx)};
  TilePlan plan;
  plan.first = static_cast<int>(static_cast<long long>(index - 1) * nx / total);
  plan.count = static_cast<int>(static_cast<long long>(index) * nx / total) - plan.first;
  const int extra = static_cast<int>(std::ceil(overlap / dx - 1e-9));
  plan.before = std::min(extra, plan.first);
  const int after = std::min(extra, nx - (plan.first + plan.count));
  const int from = plan.first - plan.before, to = plan.first + plan.count - 1 + after;
  // A widened tile of one column is no grid: the layout needs two.
  const int last = std::max(to, from + 1);
  plan.layoutKeys = fmt::format(" xmin={} xmax={} ymin={} ymax={} dx={} dy={}", xmin + from * dx, xmin + last * dx,
                                r[2], r[3], s[0], s.size() == 2 ? s[1] : s[0]);
  return plan;
}

// Cuts the document's grid to the tile's own columns.
void CutToTile(GridModel& grid, const TilePlan& plan) {
  if (grid.NX < plan.before + plan.count) throw Stop{"the tile's grid came out narrower than planned"};
  const std::size_t ny = static_cast<std::size_t>(grid.NY);
  const int layers = grid.layerCount, oldNX = grid.NX;
  const std::vector<float> values = grid.values, distance = grid.dataDistance;
  const std::vector<std::uint8_t> empty = grid.emptyNodes;
  const double x0 = grid.x0 + plan.before * grid.DX;
  if (!grid.Reshape(layers, plan.count, grid.NY)) throw Stop{"out of memory cutting the tile"};
  grid.x0 = x0;
  for (int layer = 0; layer < layers; ++layer) {
    const std::size_t from = (static_cast<std::size_t>(layer) * oldNX + plan.before) * ny;
    std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(from), plan.count * ny, grid.Column(layer, 0));
    grid.ComputeLayerRange(layer);
  }
  const std::size_t start = static_cast<std::size_t>(plan.before) * ny, size = plan.count * ny;
  if (distance.size() == static_cast<std::size_t>(oldNX) * ny)
    std::copy_n(distance.begin() + static_cast<std::ptrdiff_t>(start), size, grid.dataDistance.begin());
  grid.emptyNodes.clear();
  if (empty.size() == static_cast<std::size_t>(oldNX) * ny)
    grid.emptyNodes.assign(empty.begin() + static_cast<std::ptrdiff_t>(start),
                           empty.begin() + static_cast<std::ptrdiff_t>(start + size));
}

std::unique_ptr<BatchSession> MakeSession(std::ostream& err, bool progress) {
  ProgressMaker maker;
  if (progress)
    maker = [&err](const std::string& title) -> std::unique_ptr<Feedback> {
      return std::make_unique<TerminalProgress>(err, title);
    };
  return std::make_unique<BatchSession>(std::move(maker));
}

int Grid(const Arguments& a, std::ostream& err, bool progress) {
  const std::string input = a.Input("INPUT file");
  const auto output = a.One("--output");
  if (!output) throw Stop{"no output given (-o OUTPUT)"};
  const std::string method = a.One("--method").value_or("min-curvature");
  static const char* const kMethods[] = {"min-curvature", "kriging", "idw", "nearest", "linear"};
  if (std::find(std::begin(kMethods), std::end(kMethods), method) == std::end(kMethods))
    throw Stop{"--method must be min-curvature, kriging, idw, nearest or linear, not '" + method + "'"};
  const auto errorOutput = a.One("--error");
  if (errorOutput && method != "kriging")
    throw Stop{"--error needs --method kriging: only kriging has a standard error"};
  const std::string readLine = PointReadLine(input, a.One("--columns"));
  std::optional<TilePlan> tile;
  if (const auto tileText = a.One("--tile")) tile = PlanTile(a, *tileText);
  if (!tile && a.Has("--overlap")) throw Stop{"--overlap goes with --tile"};
  const std::string layout = tile ? tile->layoutKeys : LayoutKeys(a);
  const std::string setKeys = SetKeys(a.All("--set"));
  std::string crsKey;
  if (const auto crs = a.One("--crs")) crsKey = " crs=" + BatchQuoted(*crs);

  const auto session = MakeSession(err, progress);
  Step(*session, readLine, input);
  if (session->doc().primaryData->count < 1) throw Stop{input + " holds no points"};
  if (method == "min-curvature") {
    if (!setKeys.empty()) Step(*session, "surface-options" + setKeys);
    Step(*session, "min-curvature" + layout);
  } else if (method == "kriging") {
    if (!setKeys.empty()) Step(*session, "kriging-options" + setKeys);
    // answer=no: the large matrix files are of no use to a one-shot job.
    Step(*session, "variogram answer=no");
    // The standard error is kept by a plain kriging only when it is shown.
    if (errorOutput && session->doc().krigingState && session->doc().krigingState->inverse)
      Step(*session, "standard-error");
    Step(*session, "prediction" + layout);
  } else {
    Step(*session, method + layout + setKeys);
  }
  if (tile) CutToTile(*session->doc().grid, *tile);
  Step(*session, "export-grid " + BatchQuoted(AbsolutePath(*output)) + crsKey);
  if (errorOutput) {
    if (StandardErrorLayer(*session->doc().grid) < 0) throw Stop{"this kriging kept no standard error"};
    Step(*session, "export-grid " + BatchQuoted(AbsolutePath(*errorOutput)) + crsKey + " layer=error");
  }
  return 0;
}

int Contour(const Arguments& a, std::ostream& err, bool progress) {
  const std::string input = a.Input("GRID file");
  const auto output = a.One("--output");
  if (!output) throw Stop{"no output given (-o OUTPUT)"};
  std::string levelKeys;
  for (auto [option, key] : {std::pair{"--min", "min"}, std::pair{"--max", "max"}, std::pair{"--interval", "int"}})
    if (const auto value = a.One(option)) levelKeys += fmt::format(" {}={}", key, Number(*value, option));

  const auto session = MakeSession(err, progress);
  Step(*session, GridReadLine(input), input);
  if (!session->doc().grid || !session->doc().grid->HasValues()) throw Stop{input + " holds no grid"};
  if (!levelKeys.empty()) Step(*session, "contour-setup" + levelKeys);
  Step(*session, "export-contours " + BatchQuoted(AbsolutePath(*output)));
  return 0;
}

// The smallest and largest finite value of a grid layer at the nodes that are not
// empty, and how many nodes have none.
struct LayerRange {
  double minimum = std::numeric_limits<double>::infinity();
  double maximum = -std::numeric_limits<double>::infinity();
  std::size_t empty = 0;
};

LayerRange RangeOf(const GridModel& grid, int layer) {
  LayerRange range;
  const std::size_t nodes = grid.NodeCount();
  for (std::size_t k = 0; k < nodes; ++k) {
    const double v = grid.values[static_cast<std::size_t>(layer) * nodes + k];
    const bool empty = (!grid.emptyNodes.empty() && grid.emptyNodes[k] != 0) || !std::isfinite(v);
    if (empty) {
      ++range.empty;
      continue;
    }
    range.minimum = std::min(range.minimum, v);
    range.maximum = std::max(range.maximum, v);
  }
  return range;
}

std::string JsonText(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': json += "\\\""; break;
      case '\\': json += "\\\\"; break;
      case '\n': json += "\\n"; break;
      case '\r': json += "\\r"; break;
      case '\t': json += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20)
          json += fmt::format("\\u{:04x}", static_cast<int>(c));
        else
          json += c;
    }
  }
  return json + "\"";
}

// A number for JSON: the shortest text that reads back as the same double, null when
// it is not finite.
std::string JsonNumber(double value) { return std::isfinite(value) ? fmt::format("{}", value) : "null"; }

int Info(const Arguments& a, std::ostream& out, std::ostream& err, bool progress) {
  const std::string input = a.Input("FILE");
  const bool json = a.Has("--json");
  std::error_code error;
  const auto bytes = fs::file_size(input, error);
  if (error) throw Stop{input + ": " + (fs::exists(input) ? "cannot be read as a file" : "no such file")};

  const auto session = MakeSession(err, progress);
  Step(*session, IsRasterName(input) ? GridReadLine(input) : PointReadLine(input, std::nullopt), input);
  const Document& doc = session->doc();
  const GridModel* grid = doc.grid && doc.grid->HasValues() && doc.grid->NodeCount() > 0 ? doc.grid.get() : nullptr;
  const RandomData* points = doc.primaryData && doc.primaryData->count > 0 ? doc.primaryData.get() : nullptr;
  if (!grid && !points) throw Stop{input + " holds neither a grid nor points"};
  const char* kind = grid && points ? "document" : grid ? "grid" : "points";

  std::vector<std::pair<std::string, std::string>> gridFields, pointFields;
  if (grid) {
    const double xmax = grid->x0 + (grid->NX - 1) * grid->DX, ymax = grid->y0 + (grid->NY - 1) * grid->DY;
    const LayerRange values = RangeOf(*grid, 0);
    gridFields = {{"nx", std::to_string(grid->NX)},
                  {"ny", std::to_string(grid->NY)},
                  {"dx", JsonNumber(grid->DX)},
                  {"dy", JsonNumber(grid->DY)},
                  {"xmin", JsonNumber(grid->x0)},
                  {"xmax", JsonNumber(xmax)},
                  {"ymin", JsonNumber(grid->y0)},
                  {"ymax", JsonNumber(ymax)},
                  {"min", JsonNumber(values.minimum)},
                  {"max", JsonNumber(values.maximum)},
                  {"empty", std::to_string(values.empty)},
                  {"layers", std::to_string(grid->layerCount)}};
    if (const int errorLayer = StandardErrorLayer(*grid); errorLayer >= 0) {
      const LayerRange errors = RangeOf(*grid, errorLayer);
      gridFields.push_back({"error_min", JsonNumber(errors.minimum)});
      gridFields.push_back({"error_max", JsonNumber(errors.maximum)});
    }
  }
  if (points) {
    pointFields = {{"count", std::to_string(points->count)}, {"xmin", JsonNumber(points->xMinimum)},
                   {"xmax", JsonNumber(points->xMaximum)},   {"ymin", JsonNumber(points->yMinimum)},
                   {"ymax", JsonNumber(points->yMaximum)},   {"zmin", JsonNumber(points->zMinimum)},
                   {"zmax", JsonNumber(points->zMaximum)}};
  }

  if (json) {
    auto object = [](const std::vector<std::pair<std::string, std::string>>& fields) {
      std::string text = "{";
      for (std::size_t k = 0; k < fields.size(); ++k)
        text += (k ? ", " : "") + JsonText(fields[k].first) + ": " + fields[k].second;
      return text + "}";
    };
    out << "{\"file\": " << JsonText(input) << ", \"kind\": \"" << kind << "\", \"bytes\": " << bytes;
    if (grid) out << ", \"grid\": " << object(gridFields);
    if (points) out << ", \"points\": " << object(pointFields);
    out << "}\n";
    return 0;
  }
  auto field = [](const std::vector<std::pair<std::string, std::string>>& fields, const std::string& name) {
    for (const auto& [key, value] : fields)
      if (key == name) return value;
    return std::string();
  };
  out << "file:    " << input << "\nkind:    " << kind << "\nbytes:   " << bytes << "\n";
  if (grid) {
    auto g = [&](const char* name) { return field(gridFields, name); };
    out << "grid:    " << g("nx") << " x " << g("ny") << " nodes, " << g("layers") << " layer(s), spacing " << g("dx")
        << " x " << g("dy") << "\n";
    out << "extent:  x " << g("xmin") << " to " << g("xmax") << ", y " << g("ymin") << " to " << g("ymax") << "\n";
    out << "values:  " << g("min") << " to " << g("max") << " (" << g("empty") << " empty nodes)\n";
    if (!g("error_min").empty()) out << "error:   " << g("error_min") << " to " << g("error_max") << "\n";
  }
  if (points) {
    auto p = [&](const char* name) { return field(pointFields, name); };
    out << "points:  " << p("count") << "\n";
    out << "extent:  x " << p("xmin") << " to " << p("xmax") << ", y " << p("ymin") << " to " << p("ymax") << "\n";
    out << "values:  " << p("zmin") << " to " << p("zmax") << "\n";
  }
  return 0;
}

}  // namespace

bool IsSubcommand(const std::string& word) { return FindSubcommandHelp(word) != nullptr; }

int RunSubcommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress) {
  const std::string name = args.empty() ? std::string() : args.front();
  const SubcommandHelp* help = FindSubcommandHelp(name);
  if (!help) {
    err << "gridora: unknown subcommand '" << name << "'\n";
    return 2;
  }
  try {
    if (name == "grid") {
      const Arguments a(args,
                        {"--output", "--method", "--region", "--spacing", "--columns", "--crs", "--error", "--set",
                         "--tile", "--overlap"},
                        {"--help"});
      if (a.Has("--help")) return out << HelpText(*help), 0;
      return Grid(a, err, progress);
    }
    if (name == "contour") {
      const Arguments a(args, {"--output", "--interval", "--min", "--max"}, {"--help"});
      if (a.Has("--help")) return out << HelpText(*help), 0;
      return Contour(a, err, progress);
    }
    const Arguments a(args, {}, {"--json", "--help"});
    if (a.Has("--help")) return out << HelpText(*help), 0;
    return Info(a, out, err, progress);
  } catch (const Stop& stop) {
    err << "gridora " << name << ": " << stop.text << "\n";
  } catch (const std::bad_alloc&) {
    err << "gridora " << name << ": out of memory\n";
  } catch (const std::exception& e) {
    err << "gridora " << name << ": " << e.what() << "\n";
  }
  return 2;
}

}  // namespace gridora

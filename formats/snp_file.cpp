#include "formats/snp_file.h"

#include <fmt/printf.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <istream>
#include <limits>
#include <new>
#include <optional>
#include <ostream>
#include <vector>

#include "document/grid_labels.h"
#include "formats/unicode_text.h"

namespace gridora {
namespace {

constexpr std::size_t kTitleBytes = 128;
// A file without grid values may still name a node count, which sizes the distance
// matrix; beyond this many nodes the file must hold them (keeps a 40-byte file from
// asking for gigabytes).
constexpr std::uint64_t kNodesWithoutData = 1u << 24;
// Every layer has its own range entries whatever its node count; no document has
// anywhere near this many layers (the map shows layer 0).
constexpr int kMostLayers = 1 << 16;

std::uint32_t SwapIfBigEndian(std::uint32_t word) {
  if constexpr (std::endian::native == std::endian::big)
    return (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
  return word;
}

std::uint64_t SwapIfBigEndian(std::uint64_t word) {
  if constexpr (std::endian::native == std::endian::big)
    return static_cast<std::uint64_t>(SwapIfBigEndian(static_cast<std::uint32_t>(word))) << 32 |
           SwapIfBigEndian(static_cast<std::uint32_t>(word >> 32));
  return word;
}

// Words and raw bytes from the stream, with the bytes left known where the stream
// can tell its size (a file can).
class SnpInput {
 public:
  explicit SnpInput(std::istream& in) : in_(in) {
    const auto start = in_.tellg();
    if (start != std::streampos(-1) && in_.seekg(0, std::ios::end)) {
      const auto end = in_.tellg();
      in_.seekg(start);
      if (end != std::streampos(-1) && end >= start) remaining_ = static_cast<std::uint64_t>(end - start);
    }
    in_.clear();
  }

  // False (nothing stored) unless all `size` bytes are there.
  bool Bytes(void* data, std::size_t size) {
    if (size > remaining_) {
      remaining_ = 0;
      return false;
    }
    in_.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(in_.gcount()) != size) {
      remaining_ = 0;
      return false;
    }
    remaining_ -= size;
    return true;
  }

  template <typename T>
  bool Word(T& value) {
    static_assert(sizeof(T) == 4);
    std::uint32_t word = 0;
    if (!Bytes(&word, 4)) return false;
    value = std::bit_cast<T>(SwapIfBigEndian(word));
    return true;
  }

  template <typename T>
  bool Words(T* values, std::size_t count) {
    static_assert(sizeof(T) == 4);
    if (!Bytes(values, count * 4)) return false;
    if constexpr (std::endian::native == std::endian::big) {
      for (std::size_t i = 0; i < count; ++i)
        values[i] = std::bit_cast<T>(SwapIfBigEndian(std::bit_cast<std::uint32_t>(values[i])));
    }
    return true;
  }

  bool Doubles(double* values, std::size_t count) {
    if (!Bytes(values, count * 8)) return false;
    if constexpr (std::endian::native == std::endian::big) {
      for (std::size_t i = 0; i < count; ++i)
        values[i] = std::bit_cast<double>(SwapIfBigEndian(std::bit_cast<std::uint64_t>(values[i])));
    }
    return true;
  }

  std::uint64_t Remaining() const { return remaining_; }

 private:
  std::istream& in_;
  std::uint64_t remaining_ = std::numeric_limits<std::uint64_t>::max();
};

// Collects the file in memory and hands it to the stream in large pieces.
class SnpOutput {
 public:
  explicit SnpOutput(std::ostream& out) : out_(out) { buffer_.reserve(kFlushBytes + 4096); }
  ~SnpOutput() { Flush(); }

  template <typename T>
  void Word(T value) {
    static_assert(sizeof(T) == 4);
    const std::uint32_t word = SwapIfBigEndian(std::bit_cast<std::uint32_t>(value));
    Append(&word, 4);
  }

  void Double(double value) {
    const std::uint64_t word = SwapIfBigEndian(std::bit_cast<std::uint64_t>(value));
    Append(&word, 8);
  }

  template <typename T>
  void Words(const T* values, std::size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
      Append(values, count * sizeof(T));
    } else {
      for (std::size_t i = 0; i < count; ++i) Word(values[i]);
    }
  }

  void Append(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    if (size >= kFlushBytes) {
      Flush();
      out_.write(bytes, static_cast<std::streamsize>(size));
      return;
    }
    buffer_.append(bytes, size);
    if (buffer_.size() >= kFlushBytes) Flush();
  }

  void Flush() {
    if (!buffer_.empty()) out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kFlushBytes = 1 << 20;
  std::ostream& out_;
  std::string buffer_;
};

void WriteTitle(SnpOutput& out, const std::string& title) {
  std::u16string text = Utf8ToUtf16(title);
  std::size_t length = std::min<std::size_t>(text.size(), kSnpTitleCharacters);
  // Never keep half of a surrogate pair.
  if (length > 0 && length < text.size() && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  unsigned char field[kTitleBytes] = {};
  for (std::size_t i = 0; i < length; ++i) {
    field[2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
    field[2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
  }
  out.Append(field, sizeof field);
}

std::string DecodeTitle(const unsigned char (&field)[kTitleBytes]) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < kTitleBytes; i += 2) {
    const char16_t unit = static_cast<char16_t>(field[i] | (field[i + 1] << 8));
    if (unit == 0) break;
    text += unit;
  }
  return Utf16ToUtf8(text);
}

// The grid's settings without its storage: copying that would double the memory of a
// large grid only to throw it away.
GridModel SettingsOf(GridModel& grid) {
  std::vector<float> values, distance, minimum, maximum;
  values.swap(grid.values);
  distance.swap(grid.dataDistance);
  minimum.swap(grid.layerMinimum);
  maximum.swap(grid.layerMaximum);
  auto restore = [&] {
    values.swap(grid.values);
    distance.swap(grid.dataDistance);
    minimum.swap(grid.layerMinimum);
    maximum.swap(grid.layerMaximum);
  };
  try {
    GridModel copy = grid;
    restore();
    return copy;
  } catch (...) {
    restore();
    throw;
  }
}

// The optional parts after the points. Reading stops, silently, at the first word the
// file does not hold; the fields not reached keep their values. False only for a
// level count beyond the record's capacity.
// Marks the trailing text part "KOPT" (length, then the text's bytes), which readers that
// stop after the distances never see.
constexpr std::int32_t kTrailerMarker = 0x54504F4B;
constexpr std::int32_t kLongestTrailer = 4096;
// Marks the grid's empty nodes "KEMP" (a byte a node, 1 for a node without an estimate),
// after the text part; written only for a grid that has empty nodes.
constexpr std::int32_t kEmptyNodesMarker = 0x504D454B;
// Marks the exact values "KDBL" (byte count, then doubles: x0, y0, DX, DY, then x y z
// per point), after every other part.
constexpr std::int32_t kExactMarker = 0x4C42444B;
constexpr std::size_t kExactLayoutValues = 4;
// Marks the points' labels "KLBL" (byte count, then per point a length word and the
// label's bytes), after the exact values.
constexpr std::int32_t kLabelsMarker = 0x4C424C4B;
// The labels' part is written whole or not at all; a set of labels beyond this size
// (two gigabytes, far beyond any table's names) is left out of the file.
constexpr std::uint64_t kLongestLabelsPart = 0x7FFFFFFF;

std::uint64_t LabelsPartBytes(const RandomData& points, int count) {
  std::uint64_t bytes = 0;
  for (int i = 0; i < count; ++i) bytes += 4 + points.labels[static_cast<std::size_t>(i)].size();
  return bytes;
}

// Reads the labels' part after its marker: nothing unless its byte count is what the
// `pointCount` labels in it take up and the file holds all of it.
std::optional<std::vector<std::string>> ReadLabelsPart(SnpInput& in, std::size_t pointCount) {
  std::int32_t length = 0;
  if (!in.Word(length) || length < 0 || static_cast<std::uint64_t>(length) > in.Remaining() ||
      static_cast<std::uint64_t>(length) < 4 * static_cast<std::uint64_t>(pointCount))
    return std::nullopt;
  std::uint64_t left = static_cast<std::uint64_t>(length);
  std::vector<std::string> labels;
  try {
    labels.reserve(pointCount);
    for (std::size_t i = 0; i < pointCount; ++i) {
      std::int32_t size = 0;
      if (left < 4 || !in.Word(size) || size < 0) return std::nullopt;
      left -= 4;
      if (static_cast<std::uint64_t>(size) > left) return std::nullopt;
      std::string label(static_cast<std::size_t>(size), '\0');
      if (!in.Bytes(label.data(), label.size())) return std::nullopt;
      left -= static_cast<std::uint64_t>(size);
      labels.push_back(std::move(label));
    }
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  if (left != 0) return std::nullopt;
  return labels;
}

constexpr const char* kLabelsPartDamaged =
    "its part with the points' labels is damaged. It is left out: the points are read without labels.";

// The exact part as read, not yet checked against the single-precision fields.
struct ExactValues {
  double layout[kExactLayoutValues] = {};  // x0, y0, DX, DY
  std::vector<double> points;              // x y z per point
};

bool NotExactInFloat(double value) { return static_cast<double>(static_cast<float>(value)) != value; }

bool NeedsExactPart(const GridModel& grid, const RandomData& points, int count) {
  if (NotExactInFloat(grid.x0) || NotExactInFloat(grid.y0) || NotExactInFloat(grid.DX) || NotExactInFloat(grid.DY))
    return true;
  for (int i = 0; i < count; ++i) {
    const DataPoint& p = points.points[i];
    if (NotExactInFloat(p.x) || NotExactInFloat(p.y) || NotExactInFloat(p.z)) return true;
  }
  return false;
}

// Reads the exact part after its marker: nothing unless the byte count is that of
// `pointCount` points and the file holds all of it.
std::optional<ExactValues> ReadExactPart(SnpInput& in, std::size_t pointCount) {
  std::int32_t length = 0;
  if (!in.Word(length) || length < 0) return std::nullopt;
  const std::uint64_t doubles = kExactLayoutValues + 3 * static_cast<std::uint64_t>(pointCount);
  if (static_cast<std::uint64_t>(length) != doubles * 8 || doubles * 8 > in.Remaining()) return std::nullopt;
  ExactValues exact;
  try {
    exact.points.resize(3 * pointCount);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  if (!in.Doubles(exact.layout, kExactLayoutValues) || !in.Doubles(exact.points.data(), exact.points.size()))
    return std::nullopt;
  return exact;
}

// True when every exact value is finite and rounds to the float the file holds for it.
bool AgreesWithFloats(const ExactValues& exact, const GridModel& read, const std::vector<float>& triples) {
  auto agrees = [](double value, double stored) {
    return std::isfinite(value) && static_cast<float>(value) == static_cast<float>(stored);
  };
  if (!agrees(exact.layout[0], read.x0) || !agrees(exact.layout[1], read.y0) || !agrees(exact.layout[2], read.DX) ||
      !agrees(exact.layout[3], read.DY) || exact.points.size() != triples.size())
    return false;
  for (std::size_t i = 0; i < triples.size(); ++i)
    if (!agrees(exact.points[i], triples[i])) return false;
  return true;
}

constexpr const char* kExactPartDamaged =
    "its part with the exact coordinates is damaged. It is left out: the points and the grid's origin and spacing are "
    "read with the single precision of the older part, and may differ from what was saved in the last digits.";

// `damage` says which tagged part the file holds damaged (cut short, an impossible
// length) and what leaving it out means: such a part is left out.
bool ReadOptionalParts(SnpInput& in, GridModel& grid, std::string& problem, std::string* trailer,
                       std::size_t pointCount, std::optional<ExactValues>& exact,
                       std::optional<std::vector<std::string>>& labels, std::string& damage) {
  bool stopped = false;
  auto word = [&](auto& field) {
    if (!stopped && !in.Word(field)) stopped = true;
    return !stopped;
  };

  // The origin's 4-byte fields; the exact part may replace them later.
  float x0 = 0.0f, y0 = 0.0f;
  if (!word(x0)) return true;
  grid.x0 = x0;
  word(grid.xLastDrawn);
  if (word(y0)) grid.y0 = y0;
  word(grid.xLastDrawn);
  if (stopped) return true;

  if (!word(grid.xStart)) return true;
  word(grid.xEnd);
  word(grid.xInterval);
  word(grid.xTickCount);
  word(grid.yStart);
  word(grid.yEnd);
  word(grid.yInterval);
  word(grid.yTickCount);
  if (grid.xEnd == grid.xStart || grid.yEnd == grid.yStart) {
    grid.xTickCount = grid.yTickCount = 0;
    grid.axisFixed = 0;
  } else {
    grid.axisFixed = 1;
  }
  if (stopped) return true;

  int levelCount = 0;
  if (!word(levelCount)) return true;
  if (levelCount < 0 || levelCount > ContourLevels::kMaximumCount) {
    problem =
        fmt::sprintf("its number of contour levels, %d, is outside 0 to %d", levelCount, ContourLevels::kMaximumCount);
    return false;
  }
  ContourLevels& levels = grid.contourLevels;
  levels.count = levelCount;
  for (int i = 0; i < levelCount; ++i) {
    word(levels.levels[i]);
    word(levels.boundaryRed[i]);
    word(levels.boundaryGreen[i]);
    word(levels.boundaryBlue[i]);
  }
  grid.userLevels = 0;
  if (levelCount >= 1) {
    const auto [lowest, highest] = std::minmax_element(levels.levels.begin(), levels.levels.begin() + levelCount);
    if (*highest != *lowest && static_cast<double>(*highest - *lowest) > 1e-5) grid.userLevels = 1;
  }
  if (stopped) return true;

  if (!word(grid.scaleX)) return true;
  word(grid.scaleY);
  word(grid.reverseColors);
  if (stopped) return true;

  if (!word(grid.showRandomData)) return true;
  for (std::string* title : {&grid.xTitle, &grid.yTitle}) {
    unsigned char field[kTitleBytes];
    if (!in.Bytes(field, sizeof field)) return true;
    *title = DecodeTitle(field);
  }

  if (!word(grid.reserved4)) return true;
  if (!word(grid.hideFarNodes)) return true;
  if (!word(grid.maxDistance)) return true;
  // Whatever part of the distance matrix the file holds.
  const std::size_t held = std::min<std::uint64_t>(grid.dataDistance.size(), in.Remaining() / 4);
  in.Words(grid.dataDistance.data(), held);
  if (held != grid.dataDistance.size()) return true;
  // The tagged parts, each at most once and in this order; anything else ends them.
  std::int32_t marker = 0;
  if (!in.Word(marker)) return true;
  if (marker == kTrailerMarker) {
    std::int32_t length = 0;
    if (!(in.Word(length) && length > 0 && length <= kLongestTrailer &&
          static_cast<std::uint64_t>(length) <= in.Remaining())) {
      damage = "its part with the kriging options is damaged";
      return true;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    if (!in.Bytes(text.data(), text.size())) return true;
    if (trailer) *trailer = std::move(text);
    if (!in.Word(marker)) return true;
  }
  const std::size_t nodes = grid.NodeCount();
  if (marker == kEmptyNodesMarker && nodes > in.Remaining())
    damage = fmt::sprintf(
        "its mask of the nodes without an estimate is cut short (%d of %d marks). It is left out: nodes without an "
        "estimate may show the value stored in them (the data's mean) as if it were one. Run the prediction again to "
        "mark them.",
        static_cast<long long>(in.Remaining()), static_cast<long long>(nodes));
  if (marker == kEmptyNodesMarker && nodes > 0 && nodes <= in.Remaining()) {
    std::vector<std::uint8_t> empty(nodes);
    if (!in.Bytes(empty.data(), nodes)) return true;
    for (std::uint8_t& flag : empty) flag = flag != 0 ? 1 : 0;
    grid.emptyNodes = std::move(empty);
    if (!in.Word(marker)) return true;
  }
  if (marker == kExactMarker) {
    exact = ReadExactPart(in, pointCount);
    if (!exact) {
      // Where the part ends is not known: nothing after it can be found.
      damage = kExactPartDamaged;
      return true;
    }
    if (!in.Word(marker)) return true;
  }
  if (marker == kLabelsMarker) {
    labels = ReadLabelsPart(in, pointCount);
    if (!labels) damage = damage.empty() ? kLabelsPartDamaged : damage + " " + kLabelsPartDamaged;
  }
  return true;
}

}  // namespace

bool WriteSnp(const GridModel& grid, std::ostream& stream, const RandomData& points, const std::string& trailer) {
  const int layers = std::max(grid.layerCount, 0);
  const int nx = std::max(grid.NX, 0), ny = std::max(grid.NY, 0);
  const std::size_t nodes = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
  const std::size_t valueCount = static_cast<std::size_t>(layers) * nodes;
  {
    SnpOutput out(stream);
    out.Word(layers);
    out.Word(grid.reserved0);
    out.Word(ny);
    out.Word(nx);
    out.Word(static_cast<float>(grid.DX));
    out.Word(static_cast<float>(grid.DY));
    out.Word(grid.reserved1);
    out.Word(grid.reserved2);
    out.Word(grid.reserved3);

    // The storage always has the grid's shape; should it not, the layout still must.
    const std::size_t stored = std::min(valueCount, grid.values.size());
    out.Words(grid.values.data(), stored);
    for (std::size_t i = stored; i < valueCount; ++i) out.Word(0.0f);

    const int count = std::clamp(points.count, 0, RandomData::kCapacity);
    out.Word(count);
    std::vector<float> triples;
    constexpr int kBatch = 1 << 14;
    for (int first = 0; first < count; first += kBatch) {
      const int last = std::min(count, first + kBatch);
      triples.clear();
      for (int i = first; i < last; ++i) {
        const DataPoint& p = points.points[i];
        triples.insert(triples.end(), {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
      }
      out.Words(triples.data(), triples.size());
    }

    out.Word(static_cast<float>(grid.x0));
    out.Word(grid.xLastDrawn);
    out.Word(static_cast<float>(grid.y0));
    out.Word(grid.xLastDrawn);  // the layout has xLastDrawn twice and no yLastDrawn
    out.Word(grid.xStart);
    out.Word(grid.xEnd);
    out.Word(grid.xInterval);
    out.Word(grid.xTickCount);
    out.Word(grid.yStart);
    out.Word(grid.yEnd);
    out.Word(grid.yInterval);
    out.Word(grid.yTickCount);

    const ContourLevels& levels = grid.contourLevels;
    const int levelCount = std::clamp(levels.count, 0, ContourLevels::kMaximumCount);
    out.Word(levelCount);
    for (int i = 0; i < levelCount; ++i) {
      out.Word(levels.levels[i]);
      out.Word(levels.boundaryRed[i]);
      out.Word(levels.boundaryGreen[i]);
      out.Word(levels.boundaryBlue[i]);
    }

    out.Word(grid.scaleX);
    out.Word(grid.scaleY);
    out.Word(grid.reverseColors);
    out.Word(grid.showRandomData);
    WriteTitle(out, grid.xTitle);
    WriteTitle(out, grid.yTitle);
    out.Word(grid.reserved4);
    out.Word(grid.hideFarNodes);
    out.Word(grid.maxDistance);
    const std::size_t distances = std::min(nodes, grid.dataDistance.size());
    out.Words(grid.dataDistance.data(), distances);
    for (std::size_t i = distances; i < nodes; ++i) out.Word(1.0e7f);
    if (!trailer.empty() && trailer.size() <= static_cast<std::size_t>(kLongestTrailer)) {
      out.Word(kTrailerMarker);
      out.Word(static_cast<std::int32_t>(trailer.size()));
      out.Append(trailer.data(), trailer.size());
    }
    if (!grid.emptyNodes.empty() && grid.emptyNodes.size() == nodes) {
      out.Word(kEmptyNodesMarker);
      out.Append(grid.emptyNodes.data(), nodes);
    }
    if (NeedsExactPart(grid, points, count)) {
      out.Word(kExactMarker);
      out.Word(static_cast<std::int32_t>((kExactLayoutValues + 3 * static_cast<std::size_t>(count)) * 8));
      for (double value : {grid.x0, grid.y0, grid.DX, grid.DY}) out.Double(value);
      for (int i = 0; i < count; ++i) {
        const DataPoint& p = points.points[i];
        out.Double(p.x);
        out.Double(p.y);
        out.Double(p.z);
      }
    }
    if (points.labels.size() == static_cast<std::size_t>(count) && count > 0) {
      const std::uint64_t bytes = LabelsPartBytes(points, count);
      if (bytes <= kLongestLabelsPart) {
        out.Word(kLabelsMarker);
        out.Word(static_cast<std::int32_t>(bytes));
        for (int i = 0; i < count; ++i) {
          const std::string& label = points.labels[static_cast<std::size_t>(i)];
          out.Word(static_cast<std::int32_t>(label.size()));
          out.Append(label.data(), label.size());
        }
      }
    }
  }
  stream.flush();
  return static_cast<bool>(stream);
}

bool ReadSnp(GridModel& grid, std::istream& stream, RandomData& points, const std::string& name, SnpReadResult& result,
             std::string& problem) {
  result = SnpReadResult{};
  auto refuse = [&](const std::string& what) {
    problem = fmt::sprintf("Cannot read %s: %s. The document is unchanged.", name, what);
    return false;
  };
  SnpInput in(stream);

  std::int32_t storedLayers = 0, reserved0 = 0, ny = 0, nx = 0, reserved1 = 0, reserved2 = 0, reserved3 = 0;
  float dx = 0.0f, dy = 0.0f;
  if (!(in.Word(storedLayers) && in.Word(reserved0) && in.Word(ny) && in.Word(nx) && in.Word(dx) && in.Word(dy) &&
        in.Word(reserved1) && in.Word(reserved2) && in.Word(reserved3)))
    return refuse("the file ends inside its header");
  result.header =
      fmt::sprintf("%d %f %f %d %d", storedLayers, static_cast<double>(dx), static_cast<double>(dy), nx, ny);

  if (storedLayers == INT_MIN) return refuse(fmt::sprintf("its layer count, %d, is impossible", storedLayers));
  const bool reversedRows = storedLayers < 0;
  const int layers = reversedRows ? -storedLayers : storedLayers;
  if (layers > kMostLayers)
    return refuse(
        fmt::sprintf("its layer count, %d, is more than a document can have (%d)", storedLayers, kMostLayers));
  if (nx < 0 || ny < 0) return refuse(fmt::sprintf("its node counts NX = %d and NY = %d are impossible", nx, ny));
  const std::uint64_t nodes = static_cast<std::uint64_t>(nx) * static_cast<std::uint64_t>(ny);
  const std::uint64_t valueCount = nodes * static_cast<std::uint64_t>(layers);
  if (nodes > kMaximumGridValues || valueCount > kMaximumGridValues)
    return refuse(fmt::sprintf("a grid of %d layers of %d x %d nodes is too large", layers, nx, ny));
  if (valueCount * 4 > in.Remaining()) return refuse("the file ends inside the grid values");
  if (layers == 0 && nodes > kNodesWithoutData && nodes * 4 > in.Remaining())
    return refuse(fmt::sprintf("it names %d x %d nodes but is far too short to hold them", nx, ny));

  GridModel read;
  try {
    read = SettingsOf(grid);
  } catch (const std::bad_alloc&) {
    return refuse("there is not enough memory");
  }
  read.layerCount = layers;
  read.reserved0 = reserved0;
  read.NY = ny;
  read.NX = nx;
  read.DX = dx;
  read.DY = dy;
  read.reserved1 = reserved1;
  read.reserved2 = reserved2;
  read.reserved3 = reserved3;
  if (!read.AllocateGrid())
    return refuse(fmt::sprintf("there is not enough memory for a grid of %d layers of %d x %d nodes", layers, nx, ny));

  if (!in.Words(read.values.data(), read.values.size())) return refuse("the file ends inside the grid values");
  if (reversedRows && ny > 1) {
    for (int layer = 0; layer < layers; ++layer)
      for (int ix = 0; ix < nx; ++ix) std::reverse(read.Column(layer, ix), read.Column(layer, ix) + ny);
  }
  for (int layer = 0; layer < layers; ++layer) read.ComputeLayerRange(layer);

  std::int32_t count = 0;
  if (!in.Word(count)) return refuse("the file ends before its number of points");
  if (count < 0 || count > RandomData::kCapacity)
    return refuse(fmt::sprintf("its number of points, %d, is outside 0 to %d", count, RandomData::kCapacity));
  if (static_cast<std::uint64_t>(count) * 12 > in.Remaining()) return refuse("the file ends inside the points");
  std::vector<float> triples;
  try {
    triples.resize(static_cast<std::size_t>(count) * 3);
  } catch (const std::bad_alloc&) {
    return refuse("there is not enough memory for its points");
  }
  if (!in.Words(triples.data(), triples.size())) return refuse("the file ends inside the points");

  std::string partsProblem;
  std::string text;
  std::optional<ExactValues> exact;
  std::optional<std::vector<std::string>> labels;
  std::string damage;
  if (!ReadOptionalParts(in, read, partsProblem, &text, static_cast<std::size_t>(count), exact, labels, damage))
    return refuse(partsProblem);
  // The exact values replace the rounded ones all together, or not at all.
  if (exact && !AgreesWithFloats(*exact, read, triples)) {
    exact.reset();
    damage = damage.empty() ? std::string(kExactPartDamaged) : std::string(kExactPartDamaged) + " " + damage;
  }
  if (!damage.empty()) result.damage = fmt::sprintf("%s: %s", name, damage);
  if (exact) {
    read.x0 = exact->layout[0];
    read.y0 = exact->layout[1];
    read.DX = exact->layout[2];
    read.DY = exact->layout[3];
    result.header = fmt::sprintf("%d %f %f %d %d", storedLayers, read.DX, read.DY, nx, ny);
  }

  DropLabelsIfShapeChanged(read, grid.NX, grid.NY);
  grid = std::move(read);
  if (exact) {
    const double* xyz = exact->points.data();
    for (int i = 0; i < count; ++i) points.points[i] = DataPoint{xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]};
  } else {
    for (int i = 0; i < count; ++i)
      points.points[i] = DataPoint{triples[3 * i], triples[3 * i + 1], triples[3 * i + 2]};
  }
  points.count = count;
  if (labels)
    points.labels = std::move(*labels);
  else
    points.labels.clear();
  result.layers = layers;
  result.trailer = std::move(text);
  return true;
}

}  // namespace gridora

namespace gridora {

bool HasSnpLayout(std::istream& stream) {
  const auto start = stream.tellg();
  bool fits = false;
  {
    SnpInput in(stream);
    std::int32_t header[9] = {};
    std::int32_t count = -1;
    if (in.Words(header, 9)) {
      const std::int64_t layers = header[0] < 0 ? -static_cast<std::int64_t>(header[0]) : header[0];
      const std::int32_t ny = header[2], nx = header[3];
      if (layers <= kMostLayers && nx >= 0 && ny >= 0) {
        const std::uint64_t values =
            static_cast<std::uint64_t>(layers) * static_cast<std::uint64_t>(nx) * static_cast<std::uint64_t>(ny);
        if (values <= kMaximumGridValues && values * 4 <= in.Remaining()) {
          stream.seekg(static_cast<std::streamoff>(values * 4), std::ios::cur);
          SnpInput rest(stream);
          fits = rest.Word(count) && count >= 0 && count <= RandomData::kCapacity &&
                 static_cast<std::uint64_t>(count) * 12 <= rest.Remaining();
        }
      }
    }
  }
  stream.clear();
  stream.seekg(start);
  return fits;
}

}  // namespace gridora

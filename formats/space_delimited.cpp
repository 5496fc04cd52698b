#include "formats/space_delimited.h"

#include <fmt/printf.h>

#include <cmath>
#include <limits>
#include <memory>

#include "formats/fixed_decimal.h"
#include "formats/text_reader.h"
#include "platform/count_text.h"
#include "platform/diagnostic_file.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

constexpr std::size_t kEchoPiece = 1 << 16;

// "%lf%lf%lf": three numbers from the start of the line.
bool ScanPoint(const std::string& line, DataPoint& point) {
  std::size_t pos = 0;
  return ScanDouble(line, pos, point.x) && ScanDouble(line, pos, point.y) && ScanDouble(line, pos, point.z);
}

bool BeyondSinglePrecision(const DataPoint& point) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  return std::fabs(point.x) > kLargest || std::fabs(point.y) > kLargest || std::fabs(point.z) > kLargest;
}

}  // namespace

bool ReadSpaceDelimited(RandomData& points, const std::string& path, std::string& problem,
                        const SpaceDelimitedOptions& options, SpaceDelimitedCounts* counts) {
  TextReader reader;
  if (!reader.Open(path, problem)) return false;

  // The echo is a diagnostic: reading goes on without it when it cannot be written.
  std::unique_ptr<DiagnosticFile> echo;
  if (!options.echoPath.empty()) {
    echo = std::make_unique<DiagnosticFile>(options.echoPath);
    if (!echo->IsOpen()) echo.reset();
  }

  points.StartRanges();
  points.count = 0;
  points.labels.clear();
  // The echo lines are collected and written in large pieces.
  std::string echoText;
  auto flushEcho = [&] {
    if (echo) echo->WriteBytes(echoText);
    echoText.clear();
  };
  const int capacity = options.capacity < RandomData::kCapacity ? options.capacity : RandomData::kCapacity;
  SpaceDelimitedCounts found;
  long long overflowing = 0;
  std::string line;
  while (reader.ReadLine(line, 1023)) {
    DataPoint point{};
    if (!ScanPoint(line, point)) continue;
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) {
      ++found.notFinite;
      continue;
    }
    ++found.pointsInFile;
    if (points.count >= capacity) continue;  // counted for the message, not kept
    if (BeyondSinglePrecision(point)) ++overflowing;
    points.points[points.count++] = point;
    points.ExtendRanges(point);
    if (echo) {
      // "%.3f %.3f %.3f \n" in a text file
      AppendFixed3(echoText, point.x);
      echoText += ' ';
      AppendFixed3(echoText, point.y);
      echoText += ' ';
      AppendFixed3(echoText, point.z);
      echoText += " \r\n";
      if (echoText.size() >= kEchoPiece) flushEcho();
    }
  }
  flushEcho();
  if (counts) *counts = found;
  if (reader.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return false;
  }
  if (overflowing > 0) {
    problem = fmt::sprintf(
        "Cannot import %s: %s point(s) have a value larger than 3.4e38 in magnitude, beyond the range of the "
        "grid's numbers. The data are unchanged.",
        path, GroupedCount(static_cast<std::uint64_t>(overflowing)));
    return false;
  }
  return true;
}

}  // namespace gridora

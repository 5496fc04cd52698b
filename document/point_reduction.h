#pragma once
// Fewer, cleaner points before gridding: points at one position (or closer than a
// tolerance) merged into one, and the block reduction of very large point sets to one
// point per cell of a square block grid. A merged point lies at the mean position of
// the points it replaces; its value is their mean or median, or the first point is
// kept as it is. A merged point keeps the label of the first of its points (in the
// points' order), whatever the method: a label is a name, not a value to average.
#include <optional>
#include <string>

namespace gridora {

struct RandomData;

enum class MergeMethod { Mean, Median, First };

// The batch word of each method ("mean", "median", "first").
std::optional<MergeMethod> MergeMethodFromName(const std::string& name);

struct MergeResult {
  int pointsMerged = 0;  // points that shared a position with another
  int positions = 0;     // the positions they were merged into
};

// Merges points whose distance to the first point of their group is at most
// `tolerance` (0: the same x and y). The groups keep the order of their first points.
// Any tolerance works in about linear time, however small or large against the
// coordinates. Returns what was merged; `data`'s ranges are updated.
MergeResult MergeDuplicatePoints(RandomData& data, double tolerance, MergeMethod method);

// "%d points merged into %d positions"
std::string MergeSummary(const MergeResult& result);

// Block reduction counts at most this many cells across the data's extent.
inline constexpr double kMaximumCellsAcross = 1099511627776.0;  // 2^40

// Why `cell` cannot reduce `data`: not a positive finite size, or so small against the
// points' extent that the cells could not be counted (more than kMaximumCellsAcross
// across, or an extent beyond the range of doubles). Empty when it can.
std::string BlockCellRefusal(const RandomData& data, double cell);

// One point per cell of side `cell` (cells counted from the data's lowest x and y),
// at the mean position of the cell's points, with their mean or median value (First
// is taken as Mean). Points come out cell column by cell column. Returns the number of
// points left; a cell that BlockCellRefusal refuses leaves `data` as it is.
int BlockReducePoints(RandomData& data, double cell, MergeMethod method);

}  // namespace gridora

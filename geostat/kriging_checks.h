#pragma once
// What kriging refuses before it starts, with the message that tells the user why.
//
// - Fewer than two points, or values that are all equal: the values cannot be
//   standardised (the standard deviation is 0) and the variogram is flat.
// - Two points at the same position: their rows of the covariance matrix are equal, so
//   the kriging system is singular and has no inverse.
// - Data sets whose n x n matrices do not fit into the memory the machine has left.
#include <cstddef>
#include <optional>
#include <string>

#include "document/random_data.h"
#include "geostat/variogram_model.h"

namespace gridora {

// `what` names the data set in the message ("primary", "secondary").
std::optional<std::string> CheckVariogramData(const std::string& what, int count, const DataPoint* points);

struct CoincidentPoints {
  int first = -1;  // 0-based indices, first < second
  int second = -1;
  int pairs = 0;  // number of coincident pairs found (equal neighbours after sorting)
};

// The first two points (by index) that share a position, if any. O(n log n).
std::optional<CoincidentPoints> FindCoincidentPoints(int count, const DataPoint* points);

// Bytes that "Variogram" needs for n1 primary and n2 secondary points (n2 = 0 for simple
// kriging): the distance, dissimilarity and covariance matrices and the cloud of each
// variable and of the cross pairs, and the system with its inverse.
double VariogramMemoryNeed(std::size_t n1, std::size_t n2);

// The same for the local mode: the points of each model and their sampled clouds, no
// n x n matrix.
double LocalVariogramMemoryNeed(std::size_t n1, std::size_t n2);

// A fitted range beyond this many times the diagonal of the data's bounding box is no
// range of these data: the lag classes rise without levelling off, and the fit (above
// all the least-squares one) follows the straight line out to a range and sill that grow
// together without end.
inline constexpr double kFarRangeFactor = 10.0;

// The diagonal of the bounding box of the model's points (for the cross model, of both
// variables' points); 0 without points.
double DataDiagonal(const VariogramModel& model);

// What the user is told when the model's range lies beyond kFarRangeFactor diagonals
// (`what` names the variogram: "primary", "secondary", "cross"); nullopt otherwise. The
// fit is kept: the message only says why its range cannot be read as a distance.
std::optional<std::string> FarRangeNotice(const std::string& what, const VariogramModel& model);

// The largest standard error a kriging model can give anywhere, in the data's units:
// far from every datum the kriging variance is C(0) = nugget + sill of the standardised
// variable (a little more with the unknown mean of ordinary kriging, at most twice).
double LargestStandardError(const VariogramModel& model);

// A message when the standard errors of the model would not fit a grid's single
// precision numbers (a nugget of 1e80, say); nullopt when they fit.
std::optional<std::string> CheckStandardErrorSize(const VariogramModel& model);

// A message when `need` bytes exceed the memory a job may take (nullopt when they fit or
// nothing is known, see platform/memory_budget.h).
std::optional<std::string> CheckMemory(const std::string& what, double need);

}  // namespace gridora

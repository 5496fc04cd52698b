#pragma once
// What every gridding command computes once layer values are in place, besides the
// layer's value range (GridModel::ComputeLayerRange): the distance from each node to
// the nearest data point, with which the map hides nodes far from the data.
namespace gridora {

class Feedback;
struct GridModel;
struct RandomData;

// dataDistance(i, j) = min over every point p of the set (whatever its value) of
// sqrt(dx^2 + dy^2), dx = i*DX - (x_p - xMinimum), dy = j*DY - (y_p - yMinimum), with DX, DY,
// the point offsets rounded to single precision, the sum of squares in single precision
// and the root rounded to single: exactly what comparing every node with every point
// gives, found through a spatial index. 1.0e9 when the set is empty (or no point is
// nearer). The offsets are the set's xMinimum and yMinimum. Returns false, with
// dataDistance partly written, when the feedback cancels.
bool ComputeDataDistance(GridModel& grid, const RandomData& points, Feedback* feedback = nullptr);

// The same with the offsets (xOrigin, yOrigin) in place of the set's ranges: the
// gridding commands give the new grid's origin.
bool ComputeDataDistance(GridModel& grid, const RandomData& points, double xOrigin, double yOrigin,
                         Feedback* feedback = nullptr);

}  // namespace gridora

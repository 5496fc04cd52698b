#pragma once
// The variogram chart the view shows after "Variogram" until a prediction is made: the
// cloud of pair dissimilarities against distance, the class averages and the fitted
// exponential model, for the variable chosen by the document's variableSelection.
#include <cstddef>

#include "platform/drawing_context.h"

namespace gridora {

class Document;
class VariogramModel;

// The model the chart shows: 1 secondary, 2 cross, otherwise primary; null when the
// document has no kriging state or no such model.
const VariogramModel* ChartModel(const Document& doc);

// The chart's title when the kriging state has a drift (polynomial or external): the
// primary variable's cloud and model are then those of the drift's residuals.
inline constexpr const char* kResidualsTitle = "Variogram (residuals of the drift)";

// Draws nothing without a kriging state, without the chosen model or with an empty
// layout rectangle.
void DrawVariogramChart(DrawingContext& dc, Document& doc, const LogicalRect& layout);

// Pairs drawn from a cloud of `count`: every stride-th, so that large clouds stay quick.
int CloudStride(std::size_t count);

}  // namespace gridora

#pragma once
// The band modes' traced map body kept with the document (render/traced_bands.h): the
// last picture with what it was traced from, so that a repaint of an unchanged map
// (an expose, a scroll, a copy) does not trace again.
#include <memory>
#include <vector>

#include "render/traced_bands.h"

namespace gridora {

class Document;

// The document's band picture for its current grid, layer, placement and levels:
// the kept one when nothing it depends on changed, else traced anew and kept. The
// values are compared by a 64-bit hash, so a change made in place without a word is
// seen too. xs and ys are the node positions the map computed.
std::shared_ptr<const TracedBands> TracedBandsFor(Document& doc, const std::vector<int>& xs,
                                                  const std::vector<int>& ys);

}  // namespace gridora

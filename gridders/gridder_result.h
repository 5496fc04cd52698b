#pragma once
// What the quick gridders (inverse distance, nearest point, linear triangulation) return.
// Every one of them writes, for each node of the layout, a value into `values` and a
// mark into `empty` (1: no estimate at that node, its value left at 0), and returns this.
#include <cstddef>
#include <string>

namespace gridora {

struct GridderResult {
  enum class Status {
    Done,      // every node written
    Canceled,  // the Feedback said stop: the nodes not reached are marked empty
    Invalid,   // bad options or layout (see problem): values and marks untouched
  };
  Status status = Status::Done;
  std::size_t emptyNodes = 0;  // nodes marked empty (on Canceled: with those not reached)
  std::string problem;         // why the input was refused (Invalid only)
};

}  // namespace gridora

#pragma once
// The Feedback of a run nobody watches (the batch mode, benchmarks): progress goes
// nowhere and the run is never cancelled.
#include "platform/feedback.h"

namespace gridora {

class QuietFeedback : public Feedback {
 public:
  void SetProgress(double) override {}
  bool IsCanceled() const override { return false; }
};

}  // namespace gridora

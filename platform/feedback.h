#pragma once
// Progress and cancellation for long computations. The numerical code reports how far
// it is and polls IsCanceled(); it never sees a widget. A null Feedback* means "run to
// the end, report nothing".
#include <string>

namespace gridora {

class Feedback {
 public:
  virtual ~Feedback() = default;
  // fraction in [0, 1] of the current stage.
  virtual void SetProgress(double fraction) = 0;
  // The current stage in the user's words ("Factorising"), shown beside the title.
  virtual void SetStage(const std::string& /*text*/) {}
  // Called every few tens of milliseconds while a step that cannot report runs
  // elsewhere (platform/polled_step.h): the host may redraw and take input.
  virtual void Tick() {}
  virtual bool IsCanceled() const = 0;
};

// Convenience for the numerical loops: safe with a null pointer.
inline bool Canceled(const Feedback* feedback) { return feedback && feedback->IsCanceled(); }
inline void Report(Feedback* feedback, double fraction) {
  if (feedback) feedback->SetProgress(fraction);
}

}  // namespace gridora

#include "platform/polled_step.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/feedback.h"

namespace gridora {
namespace {

// Short enough for the window to feel live, long enough to cost nothing.
constexpr auto kTick = std::chrono::milliseconds(30);

struct StepState {
  std::function<void()> step;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::exception_ptr error;
};

// Steps left running by a Cancel. Joined when the program ends, so that none of them
// outlives the libraries it calls into.
class AbandonedSteps {
 public:
  void Keep(std::thread thread, std::shared_ptr<StepState> state) {
    std::lock_guard lock(mutex_);
    // Forget the ones that have ended meanwhile.
    for (auto it = steps_.begin(); it != steps_.end();) {
      bool done;
      {
        std::lock_guard stepLock(it->second->mutex);
        done = it->second->done;
      }
      if (done) {
        it->first.join();
        it = steps_.erase(it);
      } else {
        ++it;
      }
    }
    steps_.emplace_back(std::move(thread), std::move(state));
  }
  ~AbandonedSteps() {
    for (auto& step : steps_) step.first.join();
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<std::thread, std::shared_ptr<StepState>>> steps_;
};

AbandonedSteps& Abandoned() {
  static AbandonedSteps steps;
  return steps;
}

}  // namespace

bool RunPolled(Feedback* feedback, std::function<void()> step) {
  if (!feedback) {
    step();
    return true;
  }
  Abandoned();  // made before the first step, so it is destroyed after the last
  auto state = std::make_shared<StepState>();
  state->step = std::move(step);
  std::thread worker([state] {
    std::exception_ptr error;
    try {
      state->step();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(state->mutex);
    state->error = error;
    state->done = true;
    state->finished.notify_all();
  });
  for (;;) {
    {
      std::unique_lock lock(state->mutex);
      if (state->finished.wait_for(lock, kTick, [&] { return state->done; })) break;
    }
    feedback->Tick();
    if (feedback->IsCanceled()) {
      Abandoned().Keep(std::move(worker), std::move(state));
      return false;
    }
  }
  worker.join();
  if (state->error) std::rethrow_exception(state->error);
  return true;
}

}  // namespace gridora

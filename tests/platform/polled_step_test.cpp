#include "platform/polled_step.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include "platform/feedback.h"

namespace gridora {
namespace {

using namespace std::chrono_literals;

class CountingFeedback : public Feedback {
 public:
  void SetProgress(double) override {}
  void Tick() override {
    ++ticks;
    if (ticks >= cancelAtTick) canceled = true;
  }
  bool IsCanceled() const override { return canceled; }

  std::atomic<int> ticks{0};
  int cancelAtTick = 1 << 30;
  std::atomic<bool> canceled{false};
};

TEST(RunPolled, RunsTheStepToItsEndWhileTicking) {
  CountingFeedback feedback;
  int result = 0;
  EXPECT_TRUE(RunPolled(&feedback, [&result] {
    std::this_thread::sleep_for(150ms);
    result = 42;
  }));
  EXPECT_EQ(result, 42);
  EXPECT_GE(feedback.ticks, 1);  // the caller kept the host alive meanwhile
}

TEST(RunPolled, WithoutFeedbackRunsOnTheCallingThread) {
  std::thread::id ranOn;
  EXPECT_TRUE(RunPolled(nullptr, [&ranOn] { ranOn = std::this_thread::get_id(); }));
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(RunPolled, AnErrorOfTheStepReachesTheCaller) {
  CountingFeedback feedback;
  EXPECT_THROW(RunPolled(&feedback, [] { throw std::runtime_error("no memory"); }), std::runtime_error);
}

TEST(RunPolled, CancelReturnsAtOnceAndTheStepEndsInTheBackground) {
  CountingFeedback feedback;
  feedback.cancelAtTick = 2;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  auto finished = std::make_shared<std::atomic<bool>>(false);
  // The step waits until the test lets it go, which happens only after RunPolled has
  // returned: a RunPolled that waited for it would come back only after 10 s, done.
  EXPECT_FALSE(RunPolled(&feedback, [released, finished] {
    released.wait_for(10s);
    *finished = true;
  }));
  EXPECT_FALSE(*finished);
  release.set_value();
  for (int i = 0; i < 1000 && !*finished; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(*finished);
}

}  // namespace
}  // namespace gridora

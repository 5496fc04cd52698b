#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "platform/polled_step.h"
#include "qt_user_interface.h"

namespace gridora {
namespace {

using namespace std::chrono_literals;

TEST(ProgressFeedback, ShowsTheTitleWithTheCurrentStage) {
  QWidget window;
  QtUserInterface ui(&window);
  std::unique_ptr<Feedback> feedback = ui.BeginProgress("Interpolation by minimum curvature");
  auto* dialog = window.findChild<QProgressDialog*>();
  ASSERT_TRUE(dialog);
  for (const char* stage : {"Ordering the nodes", "Factorising", "Solving"}) {
    feedback->SetStage(stage);
    EXPECT_EQ(dialog->labelText(), QString("Interpolation by minimum curvature\n") + stage);
  }
  EXPECT_FALSE(feedback->IsCanceled());
  dialog->cancel();
  EXPECT_TRUE(feedback->IsCanceled());
}

// A library call that reports nothing: the dialog still appears, and its Cancel ends
// the wait while the call goes on.
TEST(ProgressFeedback, AStepThatCannotPollStillShowsTheDialogAndTakesCancel) {
  QWidget window;
  QtUserInterface ui(&window);
  std::unique_ptr<Feedback> feedback = ui.BeginProgress("Interpolation by minimum curvature");
  auto* dialog = window.findChild<QProgressDialog*>();
  ASSERT_TRUE(dialog);
  feedback->SetStage("Factorising");
  bool shownWhileRunning = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!dialog->isVisible()) return;
    shownWhileRunning = true;
    dialog->cancel();  // as a click on Cancel would
  });
  watch.start(20);

  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  auto finished = std::make_shared<std::atomic<bool>>(false);
  // The step ends only when the test lets it go, after RunPolled has come back.
  EXPECT_FALSE(RunPolled(feedback.get(), [released, finished] {
    released.wait_for(20s);
    *finished = true;
  }));
  EXPECT_TRUE(shownWhileRunning);
  EXPECT_FALSE(*finished);
  release.set_value();
}

}  // namespace
}  // namespace gridora

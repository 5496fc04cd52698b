#pragma once
// A step that cannot poll for cancellation itself (one long library call, such as a
// sparse factorisation) runs on a thread of its own while the calling thread keeps
// ticking the feedback, so that the window stays responsive and sees Cancel within a
// tick. On Cancel the call returns at once and the step runs on to its end in the
// background: it must own (share) everything it touches. Steps still running when the
// program ends are waited for before the process exits.
#include <functional>

namespace gridora {

class Feedback;

// True when the step ran to its end (an exception it threw is thrown here); false
// when the user cancelled first. Without a feedback the step runs on the calling
// thread.
bool RunPolled(Feedback* feedback, std::function<void()> step);

}  // namespace gridora

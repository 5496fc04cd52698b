#pragma once
// How a numerical routine ended: done, or why not. A factorisation that meets a zero
// pivot, an iteration that stops at its cap or an estimate that comes out infinite is a
// result the caller reads, never an exception from deep inside; each command turns the
// outcome into its own message, in one place.
#include <string>

namespace gridora {

enum class OutcomeKind {
  Done,
  // The user cancelled between two steps: nothing is handed back.
  Canceled,
  // The work needs more memory than it may have (the routine's result says how much,
  // where it knows).
  OutOfMemory,
  // A pivot vanished (or came out at or below its limit): the system has no unique
  // solution to working accuracy.
  Singular,
  // An iteration stopped at its cap before its tolerance.
  NotConverged,
  // A result came out infinite or not a number.
  NotFinite,
  // An argument out of its range (the text says which); nothing was computed.
  InvalidInput,
};

struct Outcome {
  OutcomeKind kind = OutcomeKind::Done;
  // Where it failed, when the routine knows: the pivot's column (Singular), the node's
  // column and row (NotFinite); -1 otherwise.
  int column = -1;
  int row = -1;
  // Words for the user, from routines that know the failure better than their caller.
  std::string text;

  bool Done() const { return kind == OutcomeKind::Done; }
};

}  // namespace gridora

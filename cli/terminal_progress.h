#pragma once
// A bar of progress on a terminal: "title: stage [#####.....]  50%", redrawn in place
// on one line (carriage return) at most every tenth of a second, and wiped when the
// computation ends. Only for a stream that is a terminal: files and pipes get nothing.
#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/feedback.h"

namespace gridora {

class TerminalProgress : public Feedback {
 public:
  TerminalProgress(std::ostream& out, std::string title);
  ~TerminalProgress() override;
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void SetProgress(double fraction) override;
  void SetStage(const std::string& text) override;
  bool IsCanceled() const override { return false; }

  // The line drawn for a fraction, without the carriage return: for tests.
  static std::string Line(const std::string& title, const std::string& stage, double fraction);

 private:
  void Draw(bool force);

  std::ostream& out_;
  std::string title_, stage_;
  double fraction_ = 0.0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

// Whether standard error is a terminal.
bool StandardErrorIsTerminal();

}  // namespace gridora

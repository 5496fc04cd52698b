#include "cli/terminal_progress.h"

#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace gridora {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& out, std::string title) : out_(out), title_(std::move(title)) {
  Draw(true);
}

TerminalProgress::~TerminalProgress() {
  // Wipes the bar so the next output starts on a clean line.
  if (drawn_) out_ << "\r\033[K" << std::flush;
}

std::string TerminalProgress::Line(const std::string& title, const std::string& stage, double fraction) {
  const double f = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
  const int filled = static_cast<int>(f * kBarWidth + 0.5);
  std::string text = title;
  if (!stage.empty()) text += ": " + stage;
  return fmt::format("{} [{}{}] {:3d}%", text, std::string(static_cast<std::size_t>(filled), '#'),
                     std::string(static_cast<std::size_t>(kBarWidth - filled), '.'), static_cast<int>(f * 100.0));
}

void TerminalProgress::SetProgress(double fraction) {
  fraction_ = fraction;
  Draw(false);
}

void TerminalProgress::SetStage(const std::string& text) {
  stage_ = text;
  fraction_ = 0.0;
  Draw(true);
}

void TerminalProgress::Draw(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!force && drawn_ && now - last_ < kRedrawEvery) return;
  last_ = now;
  drawn_ = true;
  out_ << "\r\033[K" << Line(title_, stage_, fraction_) << std::flush;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace gridora

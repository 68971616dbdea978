#include "progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

// A render that is done within this time never shows a bar; after it, the bar is redrawn at
// most ten times a second.
constexpr std::chrono::milliseconds kQuietTime{700};
constexpr std::chrono::milliseconds kRedrawInterval{100};
constexpr int kBarWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::string label, int64_t totalFrames)
    : label_(std::move(label)), totalFrames_(totalFrames),
      enabled_(totalFrames > 0 && isatty(STDERR_FILENO) == 1),
      start_(std::chrono::steady_clock::now()), lastDrawn_(start_) {}

ProgressBar::~ProgressBar() {
  if (drawn_) std::fprintf(stderr, "\r\033[K");
}

void ProgressBar::update(int64_t framesDone) {
  if (!enabled_) return;
  auto now = std::chrono::steady_clock::now();
  if (now - start_ < kQuietTime || (drawn_ && now - lastDrawn_ < kRedrawInterval)) return;
  double fraction =
      std::clamp(static_cast<double>(framesDone) / static_cast<double>(totalFrames_), 0.0, 1.0);
  int filled = static_cast<int>(fraction * kBarWidth);
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kBarWidth - filled), '.');
  std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar.c_str(),
               static_cast<int>(fraction * 100.0));
  std::fflush(stderr);
  drawn_ = true;
  lastDrawn_ = now;
}

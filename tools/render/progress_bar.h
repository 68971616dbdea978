// A progress bar on stderr for long renders. It appears only when stderr is a terminal and the
// render has already taken a while, so short renders, pipes and log files stay quiet.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class ProgressBar {
public:
  ProgressBar(std::string label, int64_t totalFrames);
  ~ProgressBar(); // clears the bar's line if one was drawn
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void update(int64_t framesDone);

private:
  std::string label_;
  int64_t totalFrames_;
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDrawn_;
};

// The record through which one of our own tools (face snapshots, tests, benchmarks, the fuzzer)
// reads the editor's image from memory and delivers mouse input to it. It reaches the
// plug-in through a private request of the shell (shell/editorchannel.h); the toolkit only fills
// it in. The tool owns the record and sets `size` and `version`; the plug-in writes the rest while
// the editor is open and zeroes it again when the editor closes. Everything runs on the caller's
// thread, like the host's editor calls.
#pragma once

#include <cstdint>

// The layout below; a later layout gets a higher number and keeps these fields first.
constexpr uint32_t kSparkwellOffscreenTargetVersion = 1;

struct SparkwellOffscreenTarget {
  uint32_t size;    // set by the tool: sizeof(SparkwellOffscreenTarget)
  uint32_t version; // set by the tool: kSparkwellOffscreenTargetVersion

  // The composed image of the editor: width x height pixels, 0xAARRGGBB, rows top to bottom,
  // current after each effEditIdle; null before the first idle.
  int32_t width;
  int32_t height;
  const uint32_t* pixels;

  // Mouse input as a window would deliver it, in frame pixels. `buttons` holds the toolkit's
  // CButton bits (kLButton, kShift, kControl, ...); a wheel notch is a distance of 1, upward.
  void* frame;
  void (*mouseDown)(void* frame, double x, double y, int32_t buttons);
  void (*mouseMoved)(void* frame, double x, double y, int32_t buttons);
  void (*mouseUp)(void* frame, double x, double y, int32_t buttons);
  void (*wheel)(void* frame, double x, double y, float distance, int32_t buttons);
};

// Whether a tool's record has a layout this toolkit can fill.
inline bool isUsableOffscreenTarget(const SparkwellOffscreenTarget* target) {
  return target != nullptr && target->size >= sizeof(SparkwellOffscreenTarget) &&
         target->version == kSparkwellOffscreenTargetVersion;
}

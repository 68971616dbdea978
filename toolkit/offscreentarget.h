// Drawing the editor into memory through the plug-in's own entry point, for tools that load the
// built library (face snapshots, tests of the real module). The tool passes the address of a
// SparkwellOffscreenTarget, with `magic` set and the rest zero, as the parent window of
// effEditOpen. Window ids never exceed 32 bits (X11 ids have 29, Windows handles 32), so an
// address above 4 GiB whose record starts with the magic number cannot be mistaken for a window.
// While the editor is open the plug-in keeps the fields below `magic` filled; at effEditClose
// it zeroes them again. Everything runs on the caller's thread, like the host's editor calls.
#pragma once

#include <cstdint>

constexpr uint64_t kSparkwellOffscreenMagic = 0x4b574c4f46465343ull; // "CSFFOLWK"

struct SparkwellOffscreenTarget {
  uint64_t magic; // set by the tool to kSparkwellOffscreenMagic

  // The composed image of the editor: width x height pixels, 0xAARRGGBB, rows top to bottom,
  // current after each effEditIdle.
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

// The target `parent` names, or null when it is an ordinary window id.
SparkwellOffscreenTarget* asOffscreenTarget(void* parent);

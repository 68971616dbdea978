// The Sparkwell window's layout: its eight pictures and one row per control (tag, face, class,
// rectangle, picture, filmstrip frames, offset). The editor builds its controls from these rows
// in order.
#pragma once

#include <cstdint>

#include "parameters.h"

// Resource ids of the eight pictures.
enum PictureId : int32_t {
  kFrontPicture = 1,
  kKnobPicture = 2,
  kPickupPicture = 3,
  kTogglePicture = 4,
  kBackPicture = 5,
  kTabPicture = 6,
  kBoostPicture = 7,
  kSetKnobPicture = 8,
  kNumPictures = 8,
};

// The tab's tag: index 8, the slot without a parameter.
constexpr int32_t kPanelTag = 8;

enum class Face : uint8_t { Front, Back, Both };
enum class ControlClass : uint8_t { AnimKnob, VerticalSwitch, OnOffButton };

struct ControlLayout {
  int32_t tag;
  Face face;
  ControlClass kind;
  // Frame pixels: left, top, right, bottom; each rectangle is one filmstrip frame.
  int32_t left, top, right, bottom;
  PictureId picture;
  int32_t frames;      // knob and switch filmstrips; a button's picture holds off above on
  int32_t frameHeight; // of one filmstrip frame
  int32_t offsetX, offsetY;
};

// The positions a switch parameter's picture shows, one frame each: a word per band of its row.
constexpr int32_t positionsOf(int32_t tag) {
  return kParameters[tag].switchWords.edgeCount + 1;
}

// In the order the controls are added: tags 0 to 7, 9, 8. The tab comes last and lies above
// everything; its rectangle reaches 4 pixels above and 7 beyond the frame, which clips it to
// x 357..449, y 0..25.
constexpr ControlLayout kControlLayouts[] = {
    {kGain, Face::Front, ControlClass::AnimKnob, 192, 154, 256, 218, kSetKnobPicture, 31, 64, 0, 0},
    {kHpf, Face::Back, ControlClass::AnimKnob, 26, 128, 96, 198, kKnobPicture, 31, 70, 0, 0},
    {kInput, Face::Back, ControlClass::AnimKnob, 26, 32, 96, 102, kKnobPicture, 31, 70, 0, 0},
    {kGridCurrent, Face::Back, ControlClass::AnimKnob, 138, 224, 208, 294, kKnobPicture, 31, 70, 0,
     0},
    {kTreble, Face::Back, ControlClass::AnimKnob, 26, 224, 96, 294, kKnobPicture, 31, 70, 0, 0},
    {kPickup, Face::Back, ControlClass::VerticalSwitch, 231, 76, 311, 156, kPickupPicture,
     positionsOf(kPickup), 80, 0, 0},
    {kTransistor, Face::Back, ControlClass::OnOffButton, 144, 46, 200, 102, kTogglePicture,
     positionsOf(kTransistor), 0, 0, 0},
    {kStereo, Face::Back, ControlClass::OnOffButton, 144, 133, 200, 189, kTogglePicture,
     positionsOf(kStereo), 0, 0, 0},
    {kEffect, Face::Front, ControlClass::OnOffButton, 87, 159, 121, 214, kBoostPicture,
     positionsOf(kEffect), 0, 0, 0},
    {kPanelTag, Face::Both, ControlClass::OnOffButton, 357, -4, 457, 26, kTabPicture, 2, 0, 0, 0},
};
constexpr int kNumControls = sizeof kControlLayouts / sizeof kControlLayouts[0];
static_assert(kNumControls == kNumParams, "one control per tag, the tab's included");

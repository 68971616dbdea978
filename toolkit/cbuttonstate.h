// Mouse buttons and modifier keys of a mouse event, and the answers a view gives to a mouse
// down.
#pragma once

#include <cstdint>

enum CButton : int32_t {
  kLButton = 1 << 1,
  kMButton = 1 << 2,
  kRButton = 1 << 3,
  kShift = 1 << 4,
  kControl = 1 << 5, // the Control key (Command on macOS): the default-value modifier
  kAlt = 1 << 6,
  kApple = 1 << 7, // the Command key on macOS; never set on Linux or Windows
};

class CButtonState {
public:
  CButtonState(int32_t state = 0) : state(state) {}

  bool isLeftButton() const { return (state & kLButton) != 0; }
  bool isRightButton() const { return (state & kRButton) != 0; }
  int32_t getButtonState() const { return state & (kLButton | kMButton | kRButton); }
  int32_t getModifierState() const { return state & (kShift | kControl | kAlt | kApple); }
  int32_t operator&(int32_t mask) const { return state & mask; }
  bool operator==(const CButtonState& other) const { return state == other.state; }

private:
  int32_t state;
};

enum CMouseEventResult {
  kMouseEventNotImplemented = 0,
  kMouseEventHandled,
  kMouseEventNotHandled,
  // The view is done with this click: the frame sends it no moves or mouse up.
  kMouseDownEventHandledButDontNeedMovedOrUpEvents,
};

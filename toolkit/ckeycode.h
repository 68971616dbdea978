// A key as the views receive it: the character it types (lower case), a virtual code for keys
// that type none, and the modifier keys held. The numbering of the virtual codes and modifier
// bits is the plug-in interface's, so a binding converts field by field, but the toolkit keeps
// its own declarations and knows nothing of the interface.
#pragma once

#include <cstdint>

struct CKeyCode {
  int32_t character;
  unsigned char virt;     // CVirtualKey; 0 for none
  unsigned char modifier; // CModifierKey bits
};

enum CVirtualKey : unsigned char {
  kVKeyBack = 1,
  kVKeyTab,
  kVKeyClear,
  kVKeyReturn,
  kVKeyPause,
  kVKeyEscape,
  kVKeySpace,
  kVKeyNext,
  kVKeyEnd,
  kVKeyHome,
  kVKeyLeft,
  kVKeyUp,
  kVKeyRight,
  kVKeyDown,
  kVKeyPageUp,
  kVKeyPageDown,
  kVKeySelect,
  kVKeyPrint,
  kVKeyEnter,
  kVKeySnapshot,
  kVKeyInsert,
  kVKeyDelete,
  kVKeyHelp,
  kVKeyNumpad0,
  kVKeyNumpad1,
  kVKeyNumpad2,
  kVKeyNumpad3,
  kVKeyNumpad4,
  kVKeyNumpad5,
  kVKeyNumpad6,
  kVKeyNumpad7,
  kVKeyNumpad8,
  kVKeyNumpad9,
  kVKeyMultiply,
  kVKeyAdd,
  kVKeySeparator,
  kVKeySubtract,
  kVKeyDecimal,
  kVKeyDivide,
  kVKeyF1,
  kVKeyF2,
  kVKeyF3,
  kVKeyF4,
  kVKeyF5,
  kVKeyF6,
  kVKeyF7,
  kVKeyF8,
  kVKeyF9,
  kVKeyF10,
  kVKeyF11,
  kVKeyF12,
  kVKeyNumLock,
  kVKeyScroll,
  kVKeyShift,
  kVKeyControl,
  kVKeyAlt,
  kVKeyEquals,
};

enum CModifierKey : unsigned char {
  kModifierShift = 1 << 0,
  kModifierAlternate = 1 << 1,
  kModifierCommand = 1 << 2,
  kModifierControl = 1 << 3,
};

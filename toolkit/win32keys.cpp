#include "win32keys.h"

namespace {

// Bit 24 of a key message: the key is an extended one (the keypad's Enter, for one).
constexpr LPARAM kExtendedKey = LPARAM{1} << 24;

unsigned char virtualCodeOf(UINT key, LPARAM lParam) {
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
    return static_cast<unsigned char>(kVKeyNumpad0 + (key - VK_NUMPAD0));
  if (key >= VK_F1 && key <= VK_F12) return static_cast<unsigned char>(kVKeyF1 + (key - VK_F1));
  switch (key) {
  case VK_BACK:
    return kVKeyBack;
  case VK_TAB:
    return kVKeyTab;
  case VK_CLEAR:
    return kVKeyClear;
  case VK_RETURN:
    return (lParam & kExtendedKey) ? kVKeyEnter : kVKeyReturn;
  case VK_PAUSE:
    return kVKeyPause;
  case VK_ESCAPE:
    return kVKeyEscape;
  case VK_SPACE:
    return kVKeySpace;
  case VK_END:
    return kVKeyEnd;
  case VK_HOME:
    return kVKeyHome;
  case VK_LEFT:
    return kVKeyLeft;
  case VK_UP:
    return kVKeyUp;
  case VK_RIGHT:
    return kVKeyRight;
  case VK_DOWN:
    return kVKeyDown;
  case VK_PRIOR:
    return kVKeyPageUp;
  case VK_NEXT:
    return kVKeyPageDown;
  case VK_SELECT:
    return kVKeySelect;
  case VK_PRINT:
    return kVKeyPrint;
  case VK_SNAPSHOT:
    return kVKeySnapshot;
  case VK_INSERT:
    return kVKeyInsert;
  case VK_DELETE:
    return kVKeyDelete;
  case VK_HELP:
    return kVKeyHelp;
  case VK_MULTIPLY:
    return kVKeyMultiply;
  case VK_ADD:
    return kVKeyAdd;
  case VK_SEPARATOR:
    return kVKeySeparator;
  case VK_SUBTRACT:
    return kVKeySubtract;
  case VK_DECIMAL:
    return kVKeyDecimal;
  case VK_DIVIDE:
    return kVKeyDivide;
  case VK_NUMLOCK:
    return kVKeyNumLock;
  case VK_SCROLL:
    return kVKeyScroll;
  case VK_SHIFT:
    return kVKeyShift;
  case VK_CONTROL:
    return kVKeyControl;
  case VK_MENU:
    return kVKeyAlt;
  case VK_OEM_PLUS:
    return kVKeyEquals; // the key that types '=' on a US keyboard
  default:
    return 0;
  }
}

unsigned char heldModifiers() {
  unsigned char modifiers = 0;
  if (GetKeyState(VK_SHIFT) < 0) modifiers |= kModifierShift;
  if (GetKeyState(VK_MENU) < 0) modifiers |= kModifierAlternate;
  // On a PC keyboard Ctrl is the interface's Control modifier (Command is the Mac's key).
  if (GetKeyState(VK_CONTROL) < 0) modifiers |= kModifierControl;
  return modifiers;
}

} // namespace

CKeyCode keyCodeOf(UINT virtualKey, LPARAM lParam) {
  CKeyCode code{};
  code.virt = virtualCodeOf(virtualKey, lParam);
  if (code.virt == 0) {
    // The unshifted character of the key; the top bit marks a dead key, which types nothing.
    const UINT character = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_CHAR);
    if ((character & 0x80000000u) == 0) code.character = static_cast<int32_t>(character);
    if (code.character >= 'A' && code.character <= 'Z') code.character += 'a' - 'A';
  }
  code.modifier = code.virt == 0 && code.character == 0 ? 0 : heldModifiers();
  return code;
}

#include "win32keys.h"

namespace {

// Bit 24 of a key message: the key is an extended one (the keypad's Enter, for one).
constexpr LPARAM kExtendedKey = LPARAM{1} << 24;

unsigned char virtualCodeOf(UINT key, LPARAM lParam) {
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
    return static_cast<unsigned char>(VKEY_NUMPAD0 + (key - VK_NUMPAD0));
  if (key >= VK_F1 && key <= VK_F12) return static_cast<unsigned char>(VKEY_F1 + (key - VK_F1));
  switch (key) {
  case VK_BACK:
    return VKEY_BACK;
  case VK_TAB:
    return VKEY_TAB;
  case VK_CLEAR:
    return VKEY_CLEAR;
  case VK_RETURN:
    return (lParam & kExtendedKey) ? VKEY_ENTER : VKEY_RETURN;
  case VK_PAUSE:
    return VKEY_PAUSE;
  case VK_ESCAPE:
    return VKEY_ESCAPE;
  case VK_SPACE:
    return VKEY_SPACE;
  case VK_END:
    return VKEY_END;
  case VK_HOME:
    return VKEY_HOME;
  case VK_LEFT:
    return VKEY_LEFT;
  case VK_UP:
    return VKEY_UP;
  case VK_RIGHT:
    return VKEY_RIGHT;
  case VK_DOWN:
    return VKEY_DOWN;
  case VK_PRIOR:
    return VKEY_PAGEUP;
  case VK_NEXT:
    return VKEY_PAGEDOWN;
  case VK_SELECT:
    return VKEY_SELECT;
  case VK_PRINT:
    return VKEY_PRINT;
  case VK_SNAPSHOT:
    return VKEY_SNAPSHOT;
  case VK_INSERT:
    return VKEY_INSERT;
  case VK_DELETE:
    return VKEY_DELETE;
  case VK_HELP:
    return VKEY_HELP;
  case VK_MULTIPLY:
    return VKEY_MULTIPLY;
  case VK_ADD:
    return VKEY_ADD;
  case VK_SEPARATOR:
    return VKEY_SEPARATOR;
  case VK_SUBTRACT:
    return VKEY_SUBTRACT;
  case VK_DECIMAL:
    return VKEY_DECIMAL;
  case VK_DIVIDE:
    return VKEY_DIVIDE;
  case VK_NUMLOCK:
    return VKEY_NUMLOCK;
  case VK_SCROLL:
    return VKEY_SCROLL;
  case VK_SHIFT:
    return VKEY_SHIFT;
  case VK_CONTROL:
    return VKEY_CONTROL;
  case VK_MENU:
    return VKEY_ALT;
  case VK_OEM_PLUS:
    return VKEY_EQUALS; // the key that types '=' on a US keyboard
  default:
    return 0;
  }
}

unsigned char heldModifiers() {
  unsigned char modifiers = 0;
  if (GetKeyState(VK_SHIFT) < 0) modifiers |= MODIFIER_SHIFT;
  if (GetKeyState(VK_MENU) < 0) modifiers |= MODIFIER_ALTERNATE;
  // On a PC keyboard Ctrl is the interface's Control modifier (Command is the Mac's key).
  if (GetKeyState(VK_CONTROL) < 0) modifiers |= MODIFIER_CONTROL;
  return modifiers;
}

} // namespace

VstKeyCode vstKeyCodeOf(UINT virtualKey, LPARAM lParam) {
  VstKeyCode code{};
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

// Windows key messages in the VST 2.4 key code that the toolkit's views understand.
#pragma once

#include <windows.h>

#include "vstkeycode.h"

// The key of a WM_KEYDOWN / WM_KEYUP (wParam, lParam), with the modifier keys held now. Keys
// with a VST virtual code get it; others carry their character, lower case; a key with
// neither (a dead key) comes back all zero.
VstKeyCode vstKeyCodeOf(UINT virtualKey, LPARAM lParam);

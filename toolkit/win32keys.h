// Windows key messages in the key code that the toolkit's views understand.
#pragma once

#include <windows.h>

#include "ckeycode.h"

// The key of a WM_KEYDOWN / WM_KEYUP (wParam, lParam), with the modifier keys held now. Keys
// with a virtual code get it; others carry their character, lower case; a key with
// neither (a dead key) comes back all zero.
CKeyCode keyCodeOf(UINT virtualKey, LPARAM lParam);

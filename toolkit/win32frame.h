// The Win32 back end of a frame: a child window of the host's window that shows the frame's
// composed image and turns mouse, wheel and key messages into the frame's events.
#pragma once

#include "iplatformframe.h"

// Makes the window inside `parent` (an HWND) with the frame's size; null when Windows refuses
// to make it (no parent, or a parent that is not a window).
IPlatformFrame* createWin32Frame(IPlatformFrameCallback* callback, const CRect& size, void* parent);

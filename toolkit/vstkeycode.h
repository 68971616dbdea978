// Keys reach the toolkit exactly as the VST 2.4 interface codes them (VstKeyCode with its
// virtual keys and modifier bits), so the editor binding passes the host's key requests on
// unchanged. The declarations themselves live with the interface.
#pragma once

#include "../shell/aeffect.h"

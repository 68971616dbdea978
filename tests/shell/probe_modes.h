// How the probe plug-in behaves, chosen by the host's answer to audioMasterCurrentId.
#pragma once

#include "aeffect.h"

constexpr VstInt32 kProbeThrowInConstructor = CCONST('t', 'h', 'r', 'o');
constexpr VstInt32 kProbeAnswerNull = CCONST('n', 'u', 'l', 'l');
constexpr VstInt32 kProbeEditorThrows = CCONST('e', 'd', 'i', 't');
constexpr VstInt32 kProbeThrowInOperations = CCONST('o', 'o', 'p', 's');

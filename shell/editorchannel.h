// A private request for our own tools: the editor drawn into memory instead of a window.
//
// The tool sends effVendorSpecific with index kSparkwellChannelIndex, value
// kSparkwellChannelOpenEditor and ptr the address of its SparkwellOffscreenTarget
// (toolkit/offscreentarget.h) with `size` and `version` set and the rest zero. The plug-in opens
// its editor without a window (closing one that is open), connects the record and answers 1; it
// answers 0 and writes nothing when the record's size or version is not one it knows, when ptr is
// null or when the instance has no editor. From then on the editor is driven by the ordinary
// requests: effEditIdle composes the image (the record's pixels are current after each idle),
// the record's entry points deliver mouse and wheel input, effEditClose (or effClose) closes the
// editor and zeroes the fields the plug-in wrote. The record must stay alive until then.
//
// No host sends this pair: the index is the plug-in's unique ID and the value a code of ours.
// effEditOpen is not part of this: its ptr is the host's window id and nothing else.
#pragma once

#include "../toolkit/offscreentarget.h"
#include "aeffect.h"

constexpr VstInt32 kSparkwellChannelIndex = CCONST('S', 'K', 'W', 'L');
constexpr VstIntPtr kSparkwellChannelOpenEditor = CCONST('E', 'd', 'M', 'm');

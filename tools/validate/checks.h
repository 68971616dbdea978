// Every check of the validator, one function each, grouped by file: load and scan
// (checks_load.cpp), parameters and programs (checks_parameters.cpp), processing
// (checks_processing.cpp) and the editor (checks_editor.cpp).
#pragma once

#include "display.h"
#include "host.h"
#include "report.h"

#include <string>
#include <vector>

// What the validator reads from the plug-in itself before any check runs (learnPluginFacts):
// the checks hold every instance to these, so that they test one plug-in's consistency with
// itself and with the interface rather than knowing its design.
struct PluginFacts {
  int numParams = 0;
  int numPrograms = 0;
  VstInt32 uniqueID = 0;
  std::string effectName, vendorString, productString;
  bool hasEditor = false;
  int editorWidth = 0, editorHeight = 0; // effEditGetRect before the editor opens
  // Parameter indices below numParams that hold no parameter: their name request writes
  // nothing (a slot kept free, as a tag for something that is no parameter).
  std::vector<int> emptySlots;

  bool isEmptySlot(int index) const;
  // An index with a parameter behind it.
  bool isParameter(int index) const {
    return index >= 0 && index < numParams && !isEmptySlot(index);
  }
};

// Reads the facts from a fresh instance of `plugin`; false with `why` set when there is none.
bool learnPluginFacts(Plugin& plugin, std::string& why);
const PluginFacts& facts();

struct Validation {
  std::string pluginPath;
  Plugin* plugin = nullptr;
  // Null when no display is available; the editor checks then fail with the reason.
  HostDisplay* display = nullptr;
  std::string displayProblem;
};

using CheckFunction = void (*)(CheckContext&, Validation&);

struct CheckEntry {
  const char* name;
  CheckFunction run;
};

// Fills `count`; the table lives for the whole run.
const CheckEntry* allChecks(int& count);

void checkLoadUnload(CheckContext&, Validation&);
void checkScan(CheckContext&, Validation&);
void checkOddOrders(CheckContext&, Validation&);
void checkTextRequests(CheckContext&, Validation&);
void checkOpcodeSweep(CheckContext&, Validation&);
void checkSilentHost(CheckContext&, Validation&);

void checkParameterValues(CheckContext&, Validation&);
void checkHostAutomation(CheckContext&, Validation&);
void checkEditorGestures(CheckContext&, Validation&);
void checkReentrancy(CheckContext&, Validation&);
void checkConcurrency(CheckContext&, Validation&);
void checkPrograms(CheckContext&, Validation&);

void checkLifecycle(CheckContext&, Validation&);
void checkBlockSizes(CheckContext&, Validation&);
void checkInPlace(CheckContext&, Validation&);
void checkDenormals(CheckContext&, Validation&);
void checkNonFiniteRecovery(CheckContext&, Validation&);
void checkFpState(CheckContext&, Validation&);
void checkRealTime(CheckContext&, Validation&);
void checkInstances(CheckContext&, Validation&);

void checkEditorCycles(CheckContext&, Validation&);
void checkEditorOddStates(CheckContext&, Validation&);
void checkEditorIdle(CheckContext&, Validation&);

// Shared helpers.

// Processes `blocks` blocks of `frames` frames of seeded noise; false (with a fault recorded)
// when the plug-in breaks the buffer rules or the output is not finite.
bool processNoise(CheckContext& ctx, Instance& instance, int frames, int blocks, const char* what,
                  bool requireFinite = true);
// Processes the same input through `instance` and returns the outputs interleaved
// (left, right per frame) for comparisons between instances.
std::vector<float> renderBlock(Instance& instance, const std::vector<float>& left,
                               const std::vector<float>& right);
// Settings that reach every stage: stereo, the AC128 curve, grid current, a pickup band.
void applyBusySettings(Instance& instance);
// Whether the plug-in has an editor; when not, the check is marked skipped.
bool requireEditor(CheckContext& ctx, Instance& instance, Validation& v);

// Counts the calls a real-time thread must never make (allocation, locks, sleeps, file and
// socket calls) while the calling thread is armed. On Linux the counting is done by the
// interposer library sparkwell-rtcheck.so, which the validator links first so that its
// definitions come before the C library's; on Windows by counting wrappers put into the
// plug-in module's import address table.
#pragma once

#include <string>

bool realtimeMonitorAvailable();
// Makes the monitor see the calls of the loaded plug-in module `moduleHandle`.
void realtimeMonitorAttach(void* moduleHandle);
// Proves the monitor counts what it should, through the same path the plug-in's calls take;
// false with `why` set when it does not.
bool realtimeMonitorSelfTest(std::string& why);
// Arms or disarms counting on the calling thread only.
void realtimeMonitorArm(bool armed);
// Calls counted since the last reset, and the name of the first of them (or null).
long realtimeMonitorCount();
const char* realtimeMonitorFirstCall();
void realtimeMonitorReset();

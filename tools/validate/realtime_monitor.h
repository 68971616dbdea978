// Counts the calls a real-time thread must never make (allocation, locks, sleeps, file and
// socket calls) while the calling thread is armed. On Linux the counting is done by the
// interposer library sparkwell-rtcheck.so, which the validator links first so that its
// definitions come before the C library's; elsewhere the monitor is unavailable.
#pragma once

bool realtimeMonitorAvailable();
// Arms or disarms counting on the calling thread only.
void realtimeMonitorArm(bool armed);
// Calls counted since the last reset, and the name of the first of them (or null).
long realtimeMonitorCount();
const char* realtimeMonitorFirstCall();
void realtimeMonitorReset();

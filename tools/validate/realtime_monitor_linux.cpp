#include "realtime_monitor.h"

#include "system.h"

#include <cstdlib>

extern "C" {
void sparkwell_rtcheck_arm(int armed);
long sparkwell_rtcheck_count(void);
const char* sparkwell_rtcheck_first(void);
void sparkwell_rtcheck_reset(void);
int sparkwell_rtcheck_active(void);
}

bool realtimeMonitorAvailable() {
  return sparkwell_rtcheck_active() != 0;
}
void realtimeMonitorArm(bool armed) {
  sparkwell_rtcheck_arm(armed ? 1 : 0);
}
long realtimeMonitorCount() {
  return sparkwell_rtcheck_count();
}
const char* realtimeMonitorFirstCall() {
  return sparkwell_rtcheck_first();
}
void realtimeMonitorReset() {
  sparkwell_rtcheck_reset();
}

// Interposition covers every module in the process: nothing to attach.
void realtimeMonitorAttach(void*) {}

bool realtimeMonitorSelfTest(std::string& why) {
  realtimeMonitorReset();
  realtimeMonitorArm(true);
  void* volatile probe = malloc(16);
  free(probe);
  sleepMilliseconds(0);
  realtimeMonitorArm(false);
  long counted = realtimeMonitorCount();
  realtimeMonitorReset();
  if (counted >= 3) return true;
  why = "malloc, free and a sleep on an armed thread counted " + std::to_string(counted) +
        " calls, expected 3";
  return false;
}

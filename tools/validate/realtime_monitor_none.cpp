// Systems without the interposer: the monitor reports itself unavailable.
#include "realtime_monitor.h"

bool realtimeMonitorAvailable() {
  return false;
}
void realtimeMonitorArm(bool) {}
long realtimeMonitorCount() {
  return 0;
}
const char* realtimeMonitorFirstCall() {
  return nullptr;
}
void realtimeMonitorReset() {}

// The host kit (tools/hostkit) as the test programs use it: its classes in the tests' namespace,
// and the path of the plug-in under test.
#pragma once

#include "hostkit.h"

namespace sparkwell_test {

using namespace hostkit;
using TestHost = hostkit::RecordingHost;

// The plug-in under test, as the build made it (set by sparkwell_add_host_test).
#ifdef SPARKWELL_PLUGIN_PATH
inline const char* pluginPath() {
  return SPARKWELL_PLUGIN_PATH;
}
#endif

} // namespace sparkwell_test

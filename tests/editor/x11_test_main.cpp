// main() of the programs that test a plug-in window under X11: a private X server for the whole
// program, named by DISPLAY, so that the plug-in's own connection reaches the same server as
// the test's.
#include <gtest/gtest.h>

#include <cstdlib>

#include "x11_host_window.h"
#include "xvfb_server.h"

namespace sparkwell_test {
bool xvfbStarted = false;
} // namespace sparkwell_test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  hostkit::XvfbServer server;
  sparkwell_test::xvfbStarted = !server.display().empty();
  if (sparkwell_test::xvfbStarted) setenv("DISPLAY", server.display().c_str(), 1);
  return RUN_ALL_TESTS();
}

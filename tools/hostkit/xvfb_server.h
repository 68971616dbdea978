// A private X server for the tests and tools that need real windows: Xvfb on the first free
// display, started by the program itself and stopped when the object goes (or the program
// ends, however it ends). Linux only; under Wine the display comes from scripts/with-wine.sh.
#pragma once

#include <string>
#include <sys/types.h>

namespace hostkit {

class XvfbServer {
public:
  // `screen` as Xvfb's -screen 0 takes it: WIDTHxHEIGHTxDEPTH.
  explicit XvfbServer(const char* screen = "1024x768x24");
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":N", or empty when the server did not start (the reason is in error()).
  const std::string& display() const { return name; }
  const std::string& error() const { return failure; }

private:
  pid_t pid = -1;
  std::string name;
  std::string failure;
};

} // namespace hostkit

// A private X server for the tests that need real windows: Xvfb on the first free display,
// started by the test itself and stopped when the object goes.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
  XvfbServer();
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

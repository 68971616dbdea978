// A private X server for the tests of one program: Xvfb on a display number it picks itself,
// started before the first test and stopped after the last. DISPLAY points at it meanwhile, so
// the plug-in's own connection reaches the same server as the test's.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>

namespace sparkwell_test {

class XvfbServer : public ::testing::Environment {
public:
  void SetUp() override;
  void TearDown() override;

  // ":N" once the server runs; empty when it could not be started.
  static const std::string& display() { return displayName; }

private:
  static std::string displayName;
  pid_t server = -1;
};

} // namespace sparkwell_test

#include "xvfb_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace sparkwell_test {

std::string XvfbServer::displayName;

void XvfbServer::SetUp() {
  int numberPipe[2];
  ASSERT_EQ(pipe(numberPipe), 0);
  server = fork();
  ASSERT_GE(server, 0);
  if (server == 0) {
    close(numberPipe[0]);
    // The server goes with the test program, also when the test crashes or is killed.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    const std::string fd = std::to_string(numberPipe[1]);
    // -displayfd: the server takes the first free display and writes its number there.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(numberPipe[1]);
  std::string number;
  char c;
  while (read(numberPipe[0], &c, 1) == 1 && c != '\n')
    number += c;
  close(numberPipe[0]);
  ASSERT_FALSE(number.empty()) << "Xvfb did not start (bash scripts/install-deps.sh gui-test)";
  displayName = ":" + number;
  setenv("DISPLAY", displayName.c_str(), 1);
}

void XvfbServer::TearDown() {
  if (server <= 0) return;
  kill(server, SIGTERM);
  int status = 0;
  waitpid(server, &status, 0);
  server = -1;
  displayName.clear();
}

} // namespace sparkwell_test

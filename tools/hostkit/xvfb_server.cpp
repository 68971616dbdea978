#include "xvfb_server.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace hostkit {

XvfbServer::XvfbServer(const char* screen) {
  int channel[2];
  if (pipe(channel) != 0) {
    failure = "no pipe";
    return;
  }
  pid = fork();
  if (pid == 0) {
    // Xvfb picks a free display itself and writes its number to the pipe. -noreset keeps it
    // from restarting (and refusing connections for a moment) whenever its last client leaves.
    close(channel[0]);
    // The server goes with the test program, also when the test crashes or is killed.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    const std::string fd = std::to_string(channel[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-noreset",
           "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(channel[1]);
  if (pid < 0) {
    close(channel[0]);
    failure = "fork failed";
    return;
  }
  std::string number;
  pollfd ready{channel[0], POLLIN, 0};
  while (poll(&ready, 1, 20000) > 0) {
    char c;
    if (read(channel[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(channel[0]);
  if (number.empty())
    failure =
        "Xvfb did not start (is the xvfb package installed? scripts/install-deps.sh gui-test)";
  else
    name = ":" + number;
}

XvfbServer::~XvfbServer() {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

} // namespace hostkit

#pragma once
// Runs vqhost (the program VQHOST names) with the given arguments and
// collects its exit status, standard output and standard error.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "support/exec_host.h"

struct Result {
  int status = -1;
  std::string out, err;
};

// How the host is started, beyond its arguments.
struct Launch {
  const char* stdoutPath = nullptr;  // a file for standard output instead of a pipe read to its end
  rlim_t addressSpace = RLIM_INFINITY;
  bool closeAfterFirstRead = false;  // the reader goes away early, while the host still writes
};

inline Result RunHost(const std::vector<std::string>& args, const Launch& launch = {}) {
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    if (launch.stdoutPath != nullptr) {
      int fd = open(launch.stdoutPath, O_WRONLY);
      if (fd < 0) _exit(126);
      dup2(fd, 1);
    } else {
      dup2(outPipe[1], 1);
    }
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    // As a shell starts a program: SIGPIPE kills unless the program itself
    // says otherwise.
    signal(SIGPIPE, SIG_DFL);
    const rlimit limit{launch.addressSpace, launch.addressSpace};
    if (launch.addressSpace != RLIM_INFINITY && setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
    ExecHost(args);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  Result result;
  auto drain = [](int fd, std::string& into, bool once) {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
      into.append(buffer, static_cast<size_t>(n));
      if (once) break;
    }
    close(fd);
  };
  drain(outPipe[0], result.out, launch.closeAfterFirstRead);
  drain(errPipe[0], result.err, false);
  int status = 0;
  waitpid(pid, &status, 0);
  // A death by a signal reads as a shell shows it (128 + the signal).
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return result;
}


#pragma once
// Runs vqhost (the program VQHOST names) with the given arguments and
// collects its exit status, standard output and standard error.
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

struct Result {
  int status = -1;
  std::string out, err;
};

inline Result RunHost(const std::vector<std::string>& args) {
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    std::vector<char*> argv;
    std::string program = VQHOST;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  Result result;
  auto drain = [](int fd, std::string& into) {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) into.append(buffer, static_cast<size_t>(n));
    close(fd);
  };
  drain(outPipe[0], result.out);
  drain(errPipe[0], result.err);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

#pragma once
// Replaces a child process with vqhost and its arguments; for the tests and
// the benchmark, which run the host as users do.
#include <unistd.h>

#include <string>
#include <vector>

[[noreturn]] inline void ExecHost(const std::vector<std::string>& args) {
  std::string program = VQHOST;
  std::vector<std::string> copies = args;
  std::vector<char*> argv{program.data()};
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

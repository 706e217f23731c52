// libFuzzer target over vqhost's whole input: the command line, one argument
// a line (type, --set PATH=VALUE in any number and order, --format), run by
// the host's own main, so parsing, every setting, both passes and the report
// are all reached. Two things are held back here: --library (the fuzzer
// loads no file of its choosing), and model sizes: the value of every
// property that sizes a model (counts and distances), read by the host's own
// rules, is clamped by the dimension of the type, so that a run stays small
// and a finding is a fault, not a large grid taking its time (the time limit
// per input is brantel_fuzz's -timeout, in scripts/setup.sh). Every other
// value reaches the host as the fuzzer wrote it.
// The headers main.cpp includes come first, so that the renaming below
// touches main.cpp alone.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "options.h"
#include "output.h"
#include "report.h"
#include "session.h"
#include "fuzz_arguments.h"
#include "vq_error.h"

// The host's main, under a name of its own.
#define main VqhostMain
#include "main.cpp"
#undef main

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reports go nowhere, but their writes succeed, as a host's should.
  int null = open("/dev/null", O_WRONLY);
  if (null < 0 || dup2(null, STDOUT_FILENO) < 0) {
    std::perror("fuzz_host: /dev/null");
    std::abort();
  }
  close(null);
  // Loaded once and kept, so its coverage is known from the start.
  if (dlopen(BRANTEL_DEFAULT_LIBRARY, RTLD_NOW | RTLD_LOCAL) == nullptr) {
    std::fprintf(stderr, "fuzz_host: cannot load %s: %s\n", BRANTEL_DEFAULT_LIBRARY, dlerror());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = fuzz_host::Arguments(data, size);
  std::string program = "vqhost";
  std::vector<char*> argv{program.data()};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  VqhostMain(static_cast<int>(argv.size() - 1), argv.data());
  return 0;
}

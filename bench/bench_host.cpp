// The cost of vqhost's report: the host run to the end against the passes
// alone (the same session of instance, settings and both passes, without a
// report), each in a process of its own so that its peak memory is its own.
// Medians of several runs, and the ratios host / passes.
//
//   bench_host [--runs N] [-- VQHOST ARGUMENTS...]
//
// Without arguments: a three-dimensional distribution of 101^3 nodes.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/exec_host.h"
#include "options.h"
#include "session.h"

namespace {

struct Sample {
  double seconds = 0.0;
  double peakMegabytes = 0.0;
};

// Runs `body` in a child process; its wall time and peak resident memory.
Sample Measure(const std::function<void()>& body) {
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    std::exit(1);
  }
  if (pid == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench_host: a measured run failed (status %d)\n", status);
    std::exit(1);
  }
  return {elapsed.count(), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

Sample Median(std::vector<Sample> samples) {
  auto middle = [&](auto field) {
    std::vector<double> values;
    for (const Sample& s : samples) values.push_back(s.*field);
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
  };
  return {middle(&Sample::seconds), middle(&Sample::peakMegabytes)};
}

void RunHost(const std::vector<std::string>& args) {
  int devnull = open("/dev/null", O_WRONLY);
  dup2(devnull, STDOUT_FILENO);
  ExecHost(args);
}

void RunPasses(const std::vector<std::string>& args) {
  std::vector<std::string> copies = args;
  std::vector<char*> argv{const_cast<char*>("vqhost")};
  for (std::string& arg : copies) argv.push_back(arg.data());
  const vqhost::Options options = vqhost::ParseOptions(static_cast<int>(argv.size()), argv.data());
  const vqhost::Session session(options);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--") {
      args.assign(argv + i + 1, argv + argc);
      break;
    }
  }
  if (args.empty())
    args = {"distribution3d", "--set", "XDOMAIN.SPACINGPREFERENCE=0.01", "--set", "YDOMAIN.SPACINGPREFERENCE=0.01",
            "--set", "ZDOMAIN.SPACINGPREFERENCE=0.01"};
  std::string shown;
  for (const std::string& arg : args) shown += " " + arg;
  std::printf("vqhost%s\n%d run(s) each, medians\n\n%-14s %10s %14s %12s %14s\n", shown.c_str(), runs, "", "time s",
              "peak RSS MB", "time ratio", "memory ratio");
  std::vector<Sample> passes;
  for (int r = 0; r < runs; ++r) passes.push_back(Measure([&] { RunPasses(args); }));
  const Sample base = Median(passes);
  std::printf("%-14s %10.2f %14.0f\n", "passes alone", base.seconds, base.peakMegabytes);
  for (const char* format : {"text", "json"}) {
    std::vector<std::string> hostArgs = args;
    hostArgs.insert(hostArgs.end(), {"--format", format});
    std::vector<Sample> host;
    for (int r = 0; r < runs; ++r) host.push_back(Measure([&] { RunHost(hostArgs); }));
    const Sample median = Median(host);
    std::printf("%-14s %10.2f %14.0f %12.2f %14.2f\n", (std::string("host, ") + format).c_str(), median.seconds,
                median.peakMegabytes, median.seconds / base.seconds, median.peakMegabytes / base.peakMegabytes);
  }
  return 0;
}

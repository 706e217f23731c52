// vqhost: loads the model library, creates one instance of a top-level type
// through its factory, drives it as the runtime would and prints what it
// registered and emitted.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "options.h"
#include "output.h"
#include "report.h"
#include "session.h"
#include "vq_error.h"

namespace {

// Every pass runs before the first byte of the report is written, so that a
// refused input or a failed pass leaves standard output empty.
void Run(const vqhost::Options& options, vqhost::Output& out) {
  const vqhost::Session session(options);
  if (options.format == vqhost::Options::Format::Json)
    vqhost::WriteReportJson(session.Root(), session.Driver(), session.Frames(), out);
  else
    vqhost::WriteReportText(session.Root(), session.Driver(), session.Frames(), out);
}

// One line on stderr; what was already written of the report is marked as
// incomplete, so that nobody takes it for a whole one.
int Fail(int status, const char* message, bool incomplete) {
  std::fprintf(stderr, "vqhost: %s%s\n", vq_rt::OneLine(message).c_str(), incomplete ? " (the report on standard output is incomplete)" : "");
  return status;
}

}  // namespace

// Status 2: the input was refused. Status 1: the input was sound but the run
// failed (out of memory, the report could not be written).
int main(int argc, char** argv) {
  // A reader that goes away early (`vqhost ... | head`) is a failed write
  // like any other: one line and status 1, not a silent death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  vqhost::Output out(STDOUT_FILENO);
  try {
    vqhost::Options options = vqhost::ParseOptions(argc, argv);
    if (options.help) out << vqhost::Usage();
    else if (options.version) out << "Brantel300_1 " << vqhost::Version() << "\n";
    else Run(options, out);
    out.Finish();
    return 0;
  } catch (const std::invalid_argument& error) {
    return Fail(2, error.what(), out.Written());
  } catch (const VQ_Error& error) {
    return Fail(2, error.what(), out.Written());
  } catch (const vqhost::WriteError& error) {
    return Fail(1, error.what(), false);
  } catch (const std::bad_alloc&) {
    return Fail(1, "out of memory", out.Written());
  } catch (const std::exception& error) {
    return Fail(1, error.what(), out.Written());
  }
}

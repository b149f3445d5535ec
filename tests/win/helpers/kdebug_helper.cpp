// A second process for the debug channel tests: installs the channel, then
// writes the trace lines its command line asks for.
//   kdebug_helper.exe MODE FILE SCENARIO...
// MODE "default" keeps the built-in debug mode and file; otherwise MODE and
// FILE are the output this process uses.
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/KDebug/trace.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"

namespace {

const std::string kDigits = "0123456789";

void Run(const std::string& scenario) {
  using namespace kestro;
  if (scenario == "long") {
    std::string line;
    for (int i = 0; i < 30; ++i) line += kDigits;
    Trace(line);
  } else if (scenario == "mixed") {
    Trace("a\rb\nc");
  } else if (scenario == "pid") {
    PidTrace(" ==== PerformAutoUpdate-4 ====");
  } else if (scenario == "fields") {
    LogFields("QueryValue", "C:\\P\\Product.exe", "FileVersion", "1.2.3.4");
  } else if (scenario == "exception") {
    LogException("boom", "YieldX", "");
  } else if (scenario == "threads") {
    // Four threads trace 50 lines each, every line longer than half the
    // device, so that pieces and lines cross each other.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([t] {
        for (int i = 0; i < 50; ++i)
          Trace("T" + std::to_string(t) + "-" + std::to_string(i) + ":" + std::string(70, char('a' + t)));
      });
    for (auto& th : threads) th.join();
  } else if (scenario == "unfinished") {
    WriteOut("no end of line");  // delivered by the final flush at exit
  }
}

}  // namespace

int main(int argc, char** argv) {
  kestro::InstallDebugChannel();
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  if (mode != "default") kestro::SetDebugOutput(uint8_t(std::atoi(argv[1])), argv[2]);
  for (int i = 3; i < argc; ++i) Run(argv[i]);
  return 0;
}

// The install engine as seen from the stub: started with its command line,
// followed until its process ends, its dialog window is gone and it has (or
// has not) removed the run token.
#pragma once
#include <string>

namespace kestro {

inline constexpr const char* kRunTokenPrefix = "AutoUpdateAtomTokenByKestro";
inline constexpr const char* kEngineDialogClassPrefix = ".SDialog_Class_Name.";

struct EngineOutcome {
  bool started = false;
  int exitCode = 0;        // 0 when the engine could not be started
  bool tokenRemoved = false;  // the engine's "success"
};

// runId is the "_" + thread id suffix already written into the line.
EngineOutcome RunEngine(const std::string& line, const std::string& runId, bool foreground);

}  // namespace kestro

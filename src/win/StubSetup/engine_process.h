// The install engine as seen from the stub: started with its command line,
// followed until its process ends, its dialog window is gone and it has (or
// has not) removed the run token.
#pragma once
#include <functional>
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
// started runs once the process was asked for (the setup run hides its
// window there), whether or not it could be started.
EngineOutcome RunEngine(const std::string& line, const std::string& runId, bool foreground,
                        const std::function<void()>& started = nullptr);

}  // namespace kestro

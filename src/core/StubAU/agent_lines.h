// Command-line pieces of the agent family: the switches the plain agent
// hands to a new transient copy, the restart line of the resident agent, and
// the listener pair of "/WM_MSG=".
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

inline constexpr char kTransientFilePrefix[] = "X_";

// " /TRANSIENTx=<overrides>" and " /SleepX=<delay>", each only when its value
// is not empty.
std::string TransientCopyArgs(const std::string& overrides, const std::string& delay);

// " /_ZZ=99 /WAIT=10 /TRANSIENT=<overrides>".
std::string RestartArgs(const std::string& overrides);

// "/WM_MSG=" value "window:message"; a part that is no number counts 0.
struct ListenerPair {
  int64_t window = 0;
  int64_t message = 0;
};
ListenerPair ParseListenerPair(const std::string& value);

}  // namespace kestro

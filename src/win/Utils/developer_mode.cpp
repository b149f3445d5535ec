#include "win/Utils/developer_mode.h"

#include <windows.h>

#include <cstring>

namespace kestro {

namespace {
constexpr char kMarkerName[] = "DVX";
constexpr char kMarkerValue[] = "584";
}  // namespace

bool IsDeveloperMode() {
  static const bool on = [] {
    char value[16] = {};
    const DWORD n = GetEnvironmentVariableA(kMarkerName, value, sizeof value);
    return n > 0 && n < sizeof value && std::strcmp(value, kMarkerValue) == 0;
  }();
  return on;
}

}  // namespace kestro

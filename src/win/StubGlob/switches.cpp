#include "win/StubGlob/switches.h"

#include <windows.h>

namespace kestro {

namespace {

bool SystemLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

}  // namespace

const TextCase& SystemTextCase() {
  static const TextCase system = [] {
    TextCase t;
    t.isLead = SystemLeadByte;
    for (int c = 0; c < 256; ++c) {
      char b = static_cast<char>(c);
      // A lead byte alone is no character; it never goes through the table.
      if (c != 0 && !SystemLeadByte(static_cast<unsigned char>(c))) CharUpperBuffA(&b, 1);
      t.upper[size_t(c)] = static_cast<unsigned char>(b);
    }
    return t;
  }();
  return system;
}

std::string GetParams(const std::string& rawCmdLine, const std::string& exePath) {
  return GetParams(rawCmdLine, exePath, SystemTextCase());
}

std::string GetSwitchValue(const std::string& params, const std::string& name, const std::string& def) {
  return GetSwitchValue(params, name, def, SystemTextCase());
}

int64_t GetSwitchInt(const std::string& params, const std::string& name, int64_t def) {
  return GetSwitchInt(params, name, def, SystemTextCase());
}

bool HasSwitch(const std::string& params, const std::string& name) {
  return HasSwitch(params, name, SystemTextCase());
}

std::string BuildRelayLine(const std::string& copyPath, const std::string& params, const std::string& exePath) {
  return BuildRelayLine(copyPath, params, exePath, SystemTextCase());
}

}  // namespace kestro

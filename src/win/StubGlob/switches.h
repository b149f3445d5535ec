// The switch reader in the terms of the system code page: the names of the
// portable reader without its code-page argument.
#pragma once

#include "core/StubGlob/switches.h"

namespace kestro {

// Upper case of each single byte (CharUpperBuffA) and the lead-byte test
// (IsDBCSLeadByte) of the system code page, read once.
const TextCase& SystemTextCase();

std::string GetParams(const std::string& rawCmdLine, const std::string& exePath);
std::string GetSwitchValue(const std::string& params, const std::string& name, const std::string& def);
int64_t GetSwitchInt(const std::string& params, const std::string& name, int64_t def);
bool HasSwitch(const std::string& params, const std::string& name);
std::string BuildRelayLine(const std::string& copyPath, const std::string& params, const std::string& exePath);

}  // namespace kestro

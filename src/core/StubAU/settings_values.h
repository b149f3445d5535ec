// How the agent's settings files and registry values are read: switches,
// 32-bit keys and the day test mode is good for.
#pragma once

#include <cstdint>
#include <string>

#include "core/Utils/ksub.h"

namespace kestro {

// On exactly when the text is "1" ("01", "true", "yes" and "2" are off).
bool SwitchOn(const std::string& text);
// Keys used as 32-bit numbers: the low 32 bits of the stored value.
int32_t Low32(int64_t value);

// Test mode is on when TestMode is "1" and TestModeDate names today
// ("06-DEC-2026", compared exactly).
bool TestModeActive(const std::string& testMode, const std::string& testModeDate,
                    const CivilTime& today);

}  // namespace kestro

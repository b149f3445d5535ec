#include "core/StubAU/settings_values.h"

namespace kestro {

bool SwitchOn(const std::string& text) { return text == "1"; }

int32_t Low32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

bool TestModeActive(const std::string& testMode, const std::string& testModeDate,
                    const CivilTime& today) {
  return testMode == "1" && testModeDate == DateText(today);
}

}  // namespace kestro

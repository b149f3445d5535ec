// The agent's eight override flags. They take precedence over the switches
// of the downloaded ".INFO" file, are set by private commands and travel
// from one agent process to the next on the command line as a list:
//
//     |255|1|255|255|255|255|255|255|      (only the second flag set to 1)
//
// 255 means "no override": the key is read. Any other value replaces the
// key: 1 is on, everything else off. The first flag has no key: 1 asks the
// user before every check.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kestro {

enum OverridePosition {
  kOvCheckPrompt = 1,
  kOvConfirmDownload = 2,
  kOvConfirmInstall = 3,
  kOvBackgroundUpdate = 4,
  kOvInformFinish = 5,
  kOvRestartProcess = 6,
  kOvConfirmDownloadForce = 7,
  kOvConfirmInstallForce = 8,
};

constexpr uint8_t kNoOverride = 255;
constexpr int kOverrideCount = 8;

class OverrideFlags {
 public:
  OverrideFlags() { flags_.fill(kNoOverride); }

  // Positions outside 1..8 are ignored (and read as no override).
  void Set(int position, uint8_t value);
  uint8_t Get(int position) const;

  // The flag's verdict on a switch whose key reads `keyOn`.
  bool Apply(int position, bool keyOn) const;
  bool CheckPrompt() const { return Get(kOvCheckPrompt) == 1; }

  std::string Format() const;
  // Item n (from 0) sets flag n+1 when it is a number (kept modulo 256);
  // other items and missing ones leave their flag as it is.
  void Load(const std::string& list);

 private:
  std::array<uint8_t, kOverrideCount> flags_;
};

}  // namespace kestro

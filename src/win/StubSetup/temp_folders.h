// The roomier temp root chosen when the temp drive is short of space, and the
// extraction folder made under it.
#pragma once
#include <string>

namespace kestro {

inline constexpr const char* kSetupFolderPrefix = "SETUP_";

// Drive + ":\TEMP" (+ "\TEMP" when that exists); empty until chosen.
const std::string& AlternativeTempRoot();
void SetAlternativeTempRoot(const std::string& root);
// FindBetterTempDrive has run (it runs once per process).
bool AlternativeTempRootChecked();
// Root + "_" + a random number, made fresh on first use.
const std::string& AlternativeExtractionFolder();

}  // namespace kestro

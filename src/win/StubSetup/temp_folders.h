// The roomier temp root chosen when the temp drive is short of space, and the
// extraction folder made under it; the relay copy that works in the
// extraction folder its launcher made.
#pragma once
#include <cstdint>
#include <string>

#include "core/StubSetup/temp_space.h"

namespace kestro {
inline constexpr const char* kRelayCopyPrefix = "Y_";

// "/SpanCdLvl=" (default 1): 2 on the relay copy of a CD set.
int64_t SpanCdLevel();
// This process is the relay copy ("/SpanCdLvl=2").
bool IsRelayCopy();
// ... and it is the "Y_" copy a launcher put into a "SETUP_" temp folder:
// only that copy may remove itself and its folder at the end (a setup file
// started by hand with "/SpanCdLvl=2" must survive its run).
bool IsLaunchedRelayCopy();

// Drive + ":\TEMP" (+ "\TEMP" when that exists); empty until chosen.
const std::string& AlternativeTempRoot();
void SetAlternativeTempRoot(const std::string& root);
// FindBetterTempDrive has run (it runs once per process).
bool AlternativeTempRootChecked();
// Root + "_" + a random number, made fresh on first use.
const std::string& AlternativeExtractionFolder();

}  // namespace kestro

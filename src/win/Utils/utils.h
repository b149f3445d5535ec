// Timing, the message pump and local dates. Long work never leaves the main
// thread, so every wait is a loop of short sleeps that keeps window messages
// (timer ticks, private messages, sent trace lines) flowing.
#pragma once

#include <cstdint>
#include <string>

#include "core/Utils/ksub.h"

namespace kestro {

// Dispatches every pending message of the calling thread, then sleeps.
void YieldX(uint32_t sleepMs);
// Calls YieldX(slice) until the duration has passed. A slice of 0 becomes
// a tenth of the duration, kept between 1 and 25 ms.
void WaitWithMessages(uint32_t durationMs, uint32_t sliceMs = 0);
uint32_t WaitSlice(uint32_t durationMs, uint32_t sliceMs);
// Milliseconds from the performance counter.
int64_t MilliCounter();

// ---- local dates ----
CivilTime LocalNow();
// The user's locale separators (first character; "/" and ":" if unknown).
char LocaleDateSeparator();
char LocaleTimeSeparator();
// Date texts of now ("06-DEC-2026", "06-DEC-2026 07:05:09").
std::string DateTextNow();
std::string DateTimeTextNow(const std::string& separator);
// "dd/mm/yy HH:NN:SS" of now with the locale separators.
std::string LogTimeStampNow();

// ---- AutoPlay suppression ----
// Registers "QueryCancelAutoPlay" and keeps its number; Stop forgets it.
void StartAutoPlaySuppression();
void StopAutoPlaySuppression();
// The kept message number, 0 when suppression is off. Windows answer this
// message with 1 to refuse AutoPlay.
unsigned AutoPlayMessage();

}  // namespace kestro

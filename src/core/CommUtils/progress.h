// The progress vocabulary shared by extraction, downloads and the update
// agent: a sink receives "start" (reset the step bar to 0..range at a
// position) and "step" (advance it by one and move the busy bar on). The
// step size is always one, so it is not passed.
#pragma once
#include <cstdint>
#include <functional>

namespace kestro {

enum class ProgressEvent { kStart = 0, kStep = 1 };

// range and position count for kStart only. The range arrives whole; whoever
// sets a bar's range fits it to the bar.
using ProgressSink = std::function<void(ProgressEvent event, std::int64_t range, int position)>;

}  // namespace kestro

#include "win/KProgBar/kprogbar.h"

#include "win/Utils/utils.h"

namespace kestro {

namespace {
constexpr std::uint32_t kPumpPauseMs = 1;
}  // namespace

TProgBar::TProgBar(ProgressSink sink) : sink_(std::move(sink)) {}

TProgBar::~TProgBar() { Finish(0, 0); }

void TProgBar::Deliver(int type, std::int64_t range, int position, int step) {
  YieldX(kPumpPauseMs);
  if (sink_) sink_(type, 0, range, position, step, "");
  YieldX(kPumpPauseMs);
}

void TProgBar::Start(int position, std::int64_t range) { Deliver(kProgressStartEvent, range, position, 1); }

void TProgBar::Step(const std::string&) { Deliver(kProgressStepEvent, 0, 0, 0); }

void TProgBar::Advance(int count, const std::string&) {
  if (count <= 0) return;
  YieldX(kPumpPauseMs);
  for (int i = 0; sink_ && i < count; ++i) sink_(kProgressStepEvent, 0, 0, 0, 0, "");
  YieldX(kPumpPauseMs);
}

void TProgBar::Finish(std::uint32_t beforeMs, std::uint32_t afterMs) {
  WaitWithMessages(beforeMs);
  Deliver(kProgressStartEvent, 0, 0, 1);
  WaitWithMessages(afterMs);
}

void TProgBar::SetCaption(const std::string&) { YieldX(kPumpPauseMs); }

}  // namespace kestro

#include "win/KProgBar/kprogbar.h"

#include "win/Utils/utils.h"

namespace kestro {

namespace {
constexpr std::uint32_t kPumpPauseMs = 1;
}  // namespace

TProgBar::TProgBar(ProgressSink sink) : sink_(std::move(sink)) {}

TProgBar::~TProgBar() { Finish(0, 0); }

void TProgBar::Deliver(ProgressEvent event, std::int64_t range, int position) {
  YieldX(kPumpPauseMs);
  if (sink_) sink_(event, range, position);
  YieldX(kPumpPauseMs);
}

void TProgBar::Start(int position, std::int64_t range) { Deliver(ProgressEvent::kStart, range, position); }

void TProgBar::Step(const std::string&) { Deliver(ProgressEvent::kStep, 0, 0); }

void TProgBar::Advance(int count, const std::string&) {
  if (count <= 0) return;
  YieldX(kPumpPauseMs);
  for (int i = 0; sink_ && i < count; ++i) sink_(ProgressEvent::kStep, 0, 0);
  YieldX(kPumpPauseMs);
}

void TProgBar::Finish(std::uint32_t beforeMs, std::uint32_t afterMs) {
  WaitWithMessages(beforeMs);
  Deliver(ProgressEvent::kStart, 0, 0);
  WaitWithMessages(afterMs);
}

void TProgBar::SetCaption(const std::string&) { YieldX(kPumpPauseMs); }

}  // namespace kestro

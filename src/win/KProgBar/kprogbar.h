// The progress notifier a download drives: start, step and end events go to
// a sink, and every event is wrapped in a round of the message pump so the
// windows stay alive while the download holds the main thread.
#pragma once
#include <cstdint>
#include <string>

#include "core/CommUtils/progress.h"

namespace kestro {

class TProgBar {
 public:
  explicit TProgBar(ProgressSink sink);
  ~TProgBar();
  TProgBar(const TProgBar&) = delete;
  TProgBar& operator=(const TProgBar&) = delete;

  // A start event.
  void Start(int position, std::int64_t range);
  // A step event; text is the caller's progress text (the sink does not get it).
  void Step(const std::string& text);
  // `count` step events inside one round of the pump (a download that
  // refreshes by time catches the bar up at once).
  void Advance(int count, const std::string& text);
  // Pump for beforeMs, deliver the reset event (range 0, position 0), pump
  // for afterMs.
  void Finish(std::uint32_t beforeMs, std::uint32_t afterMs);
  // Delivers nothing; lets pending messages through.
  void SetCaption(const std::string& text);

 private:
  void Deliver(ProgressEvent event, std::int64_t range, int position);
  ProgressSink sink_;
};

}  // namespace kestro

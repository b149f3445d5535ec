// The progress notifier a download drives: start, step and end events go to
// a sink, and every event is wrapped in a round of the message pump so the
// windows stay alive while the download holds the main thread.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace kestro {

enum ProgressEventType { kProgressStartEvent = 0, kProgressStepEvent = 1 };

// Event type, a second integer that is always 0, range, position, step size,
// text (always empty: a step's progress text stays with the caller). The
// range arrives whole; whoever sets a bar's range fits it to the bar.
using ProgressSink =
    std::function<void(int type, int zero, std::int64_t range, int position, int step, const std::string& text)>;

class TProgBar {
 public:
  explicit TProgBar(ProgressSink sink);
  ~TProgBar();
  TProgBar(const TProgBar&) = delete;
  TProgBar& operator=(const TProgBar&) = delete;

  // A start event with step size 1.
  void Start(int position, std::int64_t range);
  // A step event; text is the caller's progress text.
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
  void Deliver(int type, std::int64_t range, int position, int step);
  ProgressSink sink_;
};

}  // namespace kestro

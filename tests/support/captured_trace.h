// The trace lines of the code under test, as written to the standard output
// while the object lives.
//
//   ktest::CapturedTrace trace;
//   RunSomething();
//   EXPECT_NE(trace.Text().find("Package refused"), std::string::npos);
#pragma once

#include <string>

#include "core/KDebug/trace.h"

namespace ktest {

class CapturedTrace : public kestro::TextOutput {
 public:
  CapturedTrace() : previous_(kestro::SetStandardOutput(this)) {}
  ~CapturedTrace() override { kestro::SetStandardOutput(previous_); }
  CapturedTrace(const CapturedTrace&) = delete;
  CapturedTrace& operator=(const CapturedTrace&) = delete;

  void Write(const char* text, std::size_t size) override { text_.append(text, size); }
  void Flush() override {}
  const std::string& Text() const { return text_; }

 private:
  kestro::TextOutput* previous_;
  std::string text_;
};

}  // namespace ktest

// What inflating a whole stream in pieces gave (tests/support/inflate_driver.h).
#pragma once

#include <string>

namespace ktest {

struct InflateOutcome {
  std::string out;  // the bytes inflate() gave before it stopped
  int code = 0;     // its last return code
  std::string msg;  // its message, when it gave one
};

}  // namespace ktest

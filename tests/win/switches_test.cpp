// The switch reader bound to the system code page, run in a double-byte one
// (932): the test run starts this program in a Japanese Unix locale, from
// which Wine takes the code page.
#include <windows.h>

#include <gtest/gtest.h>

#include "win/StubGlob/switches.h"

namespace kestro {
namespace {

TEST(SystemSwitches, NamesAreMatchedInTheDoubleByteCodePagesOwnCase) {
  ASSERT_EQ(GetACP(), 932u) << "started outside the Japanese locale of the test run";
  const TextCase& system = SystemTextCase();
  ASSERT_NE(system.isLead, nullptr);
  EXPECT_TRUE(system.isLead(0x83));
  EXPECT_FALSE(system.isLead('b'));
  EXPECT_EQ(system.upper['b'], 'B');
  EXPECT_EQ(system.upper[0xB1], 0xB1) << "a single-byte katakana has no case";

  // "\x83\x62" and "\x83\x42" are two characters; only the letter after them
  // differs in case.
  EXPECT_EQ(GetSwitchValue("/\x83\x42x=1", "/\x83\x62x=", "<def>"), "<def>");
  EXPECT_EQ(GetSwitchValue("/\x83\x62x=1", "/\x83\x62X=", "<def>"), "1");
  EXPECT_FALSE(HasSwitch("/\x83\x42 /a", "/\x83\x62"));
  // A setup named "<\x83\x42>.exe" in a folder named "<\x83\x62>.exe",
  // started without quotes.
  EXPECT_EQ(GetParams("C:\\\x83\x62.exe\\\x83\x42.exe /hide", "C:\\\x83\x62.exe\\\x83\x42.exe"), "/hide");
}

}  // namespace
}  // namespace kestro

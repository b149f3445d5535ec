#include "core/KDebug/debug_log_format.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(DebugLogFormat, EveryLineBreakBecomesCrLf) {
  struct Case { std::string in, out; } cases[] = {
      {"a\rb\nc\r\n", "a\r\nb\r\nc\r\n"},
      {"\n\r", "\r\n\r\n"},          // LF then CR: two breaks
      {"\r\n\r\n", "\r\n\r\n"},      // pairs stay single breaks
      {"\r\r\n", "\r\n\r\n"},
      {"plain", "plain"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(NormaliseLineBreaks(c.in), c.out);
}

TEST(DebugLogFormat, ExceptionAndFieldLines) {
  EXPECT_EQ(ExceptionLine("YieldX", "", "boom"), " --- YieldX () --- boom");
  EXPECT_EQ(FieldsLine("QueryValue", "a.exe", "FileVersion", "1.2"),
            "[QueryValue]  [a.exe]  [FileVersion]  [1.2]");
}

TEST(DebugLogFormat, AgentLogSitsBesideTheExeWithAnXPrefix) {
  struct Case { std::string exe, log; } cases[] = {
      {"C:\\P\\Product.AutoUpdate.exe", "C:\\P\\X_Product.AutoUpdate.log"},
      {"C:\\P\\X_Product.AutoUpdate.exe", "C:\\P\\X_Product.AutoUpdate.log"},
      {"C:\\P\\x_tool.exe", "C:\\P\\X_x_tool.log"},
      {"C:\\P\\X_tool.exe", "C:\\P\\X_tool.log"},
      {"C:\\tool", "C:\\X_tool.log"}};
  for (const auto& c : cases) EXPECT_EQ(AgentLogFileName(c.exe), c.log) << c.exe;
}

TEST(DebugLogFormat, AgentLogLinesPadTheThreadId) {
  EXPECT_EQ(AgentLogLine("06/12/26 07:05:09", 1234, "   ", "start"),
            "06/12/26 07:05:09  1234   start\r\n");
  EXPECT_EQ(AgentLogLine("s", 123456, " X ", "m"), "s 123456 X m\r\n");
  EXPECT_EQ(AgentLogLine("s", 7, "   ", ""), "s     7   \r\n");
}

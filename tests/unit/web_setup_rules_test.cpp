#include "core/StubSetup/web_setup_rules.h"

#include <gtest/gtest.h>

#include "core/PackX/package_layout.h"

namespace kestro {
namespace {

TEST(WebSetupSize, AnnouncesTheSizeInMegabytes) {
  struct Case {
    const char* item;
    const char* text;
  } cases[] = {
      {"3500000", "3.34"}, {"52428800", "50.0"}, {"500000", "0.477"}, {"0", "0.000"},
      {"-5", "0.000"},     {"", "0.000"},        {"12 MB", "0.000"},  {"10485760", "10.00"},
  };
  for (const Case& c : cases) EXPECT_EQ(WebPackageSizeText(c.item), c.text) << c.item;
}

TEST(WebSetupSize, ReplacesEverySizeTag) {
  EXPECT_EQ(AskDownloadText("Size: <SIZE> MB<P>(<SIZE>)", "3500000"), "Size: 3.34 MB<P>(3.34)");
}

// A web setup image: "MZ", the package-end pointer at 248/252, the package
// with its 74-byte trailer at the end of `packageEnd` bytes, then `tail`
// bytes (a signature).
std::string WebSetupImage(uint32_t packageEnd, size_t tail, bool pointer = true) {
  std::string image(packageEnd + tail, 'x');
  image[0] = 'M';
  image[1] = 'Z';
  for (int i = 0; i < 4; ++i) {
    image[kPackageEndHighOffset + i] = 0;
    image[kPackageEndLowOffset + i] = pointer ? char((packageEnd >> (8 * i)) & 0xFF) : 0;
  }
  image[packageEnd - (kTrailerSize - kTrIsAgent)] = 0;  // the agent flag, clear
  return image;
}

TEST(WebSetupAgent, CutsAtThePackageEndAndSetsTheAgentFlag) {
  struct Case {
    const char* why;
    size_t tail;
  } cases[] = {
      {"nothing after the package", 0},
      {"a small signature", 5000},
      {"a signature of 10,000 bytes", 10000},
      {"a large signature", 70000},
  };
  const uint32_t end = 40000;
  for (const Case& c : cases) {
    const std::string agent = WebAgentImage(WebSetupImage(end, c.tail));
    ASSERT_EQ(agent.size(), end) << c.why;
    EXPECT_EQ(agent[end - 5], 1) << c.why;
    // Everything before the flag is the web setup's own.
    const std::string image = WebSetupImage(end, c.tail);
    EXPECT_EQ(agent.substr(0, end - 5), image.substr(0, end - 5)) << c.why;
    EXPECT_EQ(agent.substr(end - 4), image.substr(end - 4, 4)) << c.why;
  }
}

TEST(WebSetupAgent, WithoutAPointerTheFileIsTakenWhole) {
  const std::string image = WebSetupImage(40000, 0, false);
  const std::string agent = WebAgentImage(image);
  ASSERT_EQ(agent.size(), image.size());
  EXPECT_EQ(agent[agent.size() - 5], 1);
  EXPECT_EQ(WebAgentImage("abcde"), "abcde");  // too short to carry a flag
  EXPECT_EQ(WebAgentImage(""), "");
}

}  // namespace
}  // namespace kestro

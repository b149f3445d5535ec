#include "core/StubAU/agent_download_bounds.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

// The bound of an UPDATE or INFORM download: the signed size wins; else the
// named size takes exactly what the size test lets through.
TEST(AgentDownloadBounds, ASignedSizeWinsElseTheNamedSizeWithinTheTolerance) {
  const struct {
    std::int64_t signedSize;
    std::int32_t namedSize;
    std::uint64_t bound;
  } cases[] = {
      {5000, 5000, 5000},
      {5000, 9000, 5000},  // the signed size, whatever the text says besides
      {0, 5000, 5099},
      {-1, 5000, 5099},
      {0, 1, 100},
      {0, 0, 0},           // nothing known: the download client's own bound
      {0, -5, 0},
      {(std::int64_t(1) << 33), 0, std::uint64_t(1) << 33},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReleaseFileBound(c.signedSize, c.namedSize), c.bound) << c.signedSize << " " << c.namedSize;
    if (c.signedSize <= 0 && c.namedSize > 0) {
      // The largest body the size test accepts fits; one byte more does not.
      EXPECT_TRUE(SizeWithinTolerance(std::int64_t(c.bound), c.namedSize));
      EXPECT_FALSE(SizeWithinTolerance(std::int64_t(c.bound) + 1, c.namedSize));
    }
  }
}

}  // namespace
}  // namespace kestro

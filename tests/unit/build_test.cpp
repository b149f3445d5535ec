#include <gtest/gtest.h>
#include "core/StubGlob/version.h"
TEST(Build, NativeCoreLinks) { EXPECT_STREQ(kestro::kProductName, "Kestro"); }

#include <gtest/gtest.h>
#include "core/version.h"
TEST(Build, NativeCoreLinks) { EXPECT_STREQ(kestro::kProductName, "Kestro"); }

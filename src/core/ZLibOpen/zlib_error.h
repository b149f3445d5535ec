// Shared by both directions of the zlib binding.
#pragma once

#include <zlib.h>

namespace kestro {

// Throws EZLibError with zlib's message for the failed call's result.
[[noreturn]] void ThrowZLibError(const z_stream& z, int code);

}  // namespace kestro

// Version numbers of executables, read from their version resources.
#pragma once

#include <string>

namespace kestro {

// The fixed file version, "a.b.c.d", then FormatVersion(digits, fields) when
// that changes anything; "" without a version resource. An empty file name
// means the running executable.
std::string GetExeVersion(const std::string& file, int digits = 1, int fields = 4);
// The "ProductVersion" string of the first translation ("," read as "."),
// formatted the same way; every call leaves a "QueryValue" line on the
// debug channel.
std::string GetProductVersion(const std::string& file, int digits = 1, int fields = 4);

}  // namespace kestro

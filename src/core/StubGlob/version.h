#pragma once

namespace kestro {
constexpr const char* kProductName = "Kestro";
}

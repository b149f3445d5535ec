// The window class that keeps the instances of one mode apart is named after
// the setup file's full path (or the agent's name). A class name holds at
// most 255 characters, and a setup file may well lie deeper than that (a
// download folder), so a longer name is shortened in a way that still tells
// every path apart.
#pragma once
#include <cstddef>
#include <string>

namespace kestro {

constexpr std::size_t kMaxWindowClassName = 255;

// The name itself when it fits; otherwise its first characters, "#" and 16
// hex digits of a hash of the whole name taken ignoring case (class names
// are compared ignoring case, so two spellings of one path stay one
// instance), 255 characters in all.
std::string FitWindowClassName(const std::string& name);

}  // namespace kestro

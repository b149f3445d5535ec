// Decisions of the web setup that need no Windows: the size shown before a
// download and the bytes of the agent file a web setup writes.
#pragma once
#include <string>

namespace kestro {

// The web source list's size item as megabytes for the download question:
// 3500000 -> "3.34", 52428800 -> "50.0", 500000 -> "0.477". Anything but a
// whole number, and a negative one, counts as 0.
std::string WebPackageSizeText(const std::string& sizeItem);

// The download question with every "<SIZE>" replaced.
std::string AskDownloadText(const std::string& message, const std::string& sizeItem);

// The agent file of a web setup, made from the bytes of the web setup
// itself: cut at the package end its header records (whatever follows it,
// such as a code signature, is not the agent's), and the trailer's agent flag
// (the fifth byte from the end) set. A file whose package-end pointer is 0,
// or points past its end, is taken whole.
std::string WebAgentImage(std::string image);

}  // namespace kestro

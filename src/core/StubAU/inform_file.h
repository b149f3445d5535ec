// The INFORM file: the announcement a publisher places beside the UPDATE
// file. Its text, after optional unscrambling ("Scrambled=01"), is a header
// and a body separated by "|":
//
//     |<product token, scrambled>|<ignored>|<ignored>|<body shown to the user>
//
// Text before the first "|" is ignored too. The token ties the file to the
// product, so the download check and the announcement read it the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestro {

struct InformText {
  std::optional<std::string> token;  // unscrambled; none when absent or malformed
  std::string body;                  // everything after the fourth "|"
};

InformText SplitInformText(const std::string& text);

// The file's token equals the product's (both stored scrambled); a token that
// does not unscramble never matches.
bool InformTokenMatches(const std::string& text, const std::string& storedProductToken);

// The name the INFORM file is fetched, stored and read back under: a bare
// file name. Empty for a name with a folder, a drive or "..", which would
// make the announcement read a file the token check never saw.
std::string InformFileName(const std::string& name);

// The address the announcement's button may open: an http:// or https://
// address without blanks, quotes or control characters, trimmed; empty for
// anything else (a local program, a file, another scheme).
std::string AnnouncementLink(const std::string& link);

// What the announcement window shows. A body-less file with a link shows the
// address itself above the button, so the page opens only when the user asks.
std::string AnnouncementBody(const std::string& body, const std::string& link);

// The window's width or height from AutoInformW/AutoInformH: a value that
// leaves no room for the text and the button (zero, negative, a few pixels)
// would hide the modal window that the agent then waits on for ever, so it
// is taken as missing (the default) or raised to the smallest usable size.
inline constexpr int kAnnouncementDefaultSize = 360;
inline constexpr int kAnnouncementMinimumSize = 200;
int AnnouncementSize(int32_t configured);

}  // namespace kestro

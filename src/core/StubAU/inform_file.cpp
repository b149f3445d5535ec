#include "core/StubAU/inform_file.h"

#include "core/PackX/package_token.h"
#include "core/StubAU/scramble.h"
#include "core/Utils/ksub.h"

namespace kestro {

namespace {

constexpr char kSeparator = '|';
constexpr size_t kTokenField = 1;
constexpr size_t kBodyField = 4;

bool UnsafeLinkChar(unsigned char c) { return c <= ' ' || c == '"' || c == 0x7F; }

}  // namespace

InformText SplitInformText(const std::string& text) {
  const std::string plain = Scramble(text, false, false);
  InformText out;
  // Where each separator stands, up to the one that opens the body.
  size_t at[kBodyField];
  size_t found = 0;
  for (size_t pos = plain.find(kSeparator); pos != std::string::npos && found < kBodyField;
       pos = plain.find(kSeparator, pos + 1))
    at[found++] = pos;
  if (found > kTokenField)
    out.token = UnscrambleToken(plain.substr(at[0] + 1, at[1] - at[0] - 1));
  if (found == kBodyField) out.body = plain.substr(at[kBodyField - 1] + 1);
  return out;
}

bool InformTokenMatches(const std::string& text, const std::string& storedProductToken) {
  const std::optional<std::string> theirs = SplitInformText(text).token;
  const std::optional<std::string> mine = UnscrambleToken(storedProductToken);
  return theirs && mine && *theirs == *mine;
}

std::string InformFileName(const std::string& name) {
  const std::string bare = SUB::Trim(name);
  if (bare == "." || bare.find_first_of("\\/:") != std::string::npos ||
      bare.find("..") != std::string::npos)
    return {};
  return bare;
}

std::string AnnouncementLink(const std::string& link) {
  const std::string address = SUB::Trim(link);
  bool web = false;
  for (const char* scheme : {"http://", "https://"})
    web = web || (SUB::StartsWith(address, scheme, true) && address.size() > std::string(scheme).size());
  for (unsigned char c : address)
    if (UnsafeLinkChar(c)) return {};
  return web ? address : std::string();
}

std::string AnnouncementBody(const std::string& body, const std::string& link) {
  return body.empty() ? link : body;
}

int AnnouncementSize(int32_t configured) {
  if (configured <= 0) return kAnnouncementDefaultSize;
  return configured < kAnnouncementMinimumSize ? kAnnouncementMinimumSize : configured;
}

}  // namespace kestro

#include "core/StubSetup/web_setup_rules.h"

#include <cstdint>

#include "core/PackX/package_layout.h"
#include "core/StubSetup/temp_space.h"
#include "core/Utils/ksub.h"

namespace kestro {

namespace {

constexpr size_t kAgentFlagFromEnd = kTrailerSize - kTrIsAgent;

uint32_t U32At(const std::string& s, size_t at) {
  if (at + 4 > s.size()) return 0;
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t(static_cast<unsigned char>(s[at + i])) << (8 * i);
  return v;
}

}  // namespace

std::string WebPackageSizeText(const std::string& sizeItem) {
  int64_t bytes = 0;
  if (!SUB::TryParseInt64(sizeItem, bytes)) bytes = 0;
  return FormatMegabytes(static_cast<double>(bytes));
}

std::string AskDownloadText(const std::string& message, const std::string& sizeItem) {
  return SUB::ReplaceText(message, "<SIZE>", WebPackageSizeText(sizeItem));
}

std::string WebAgentImage(std::string image) {
  const uint64_t end = uint64_t(U32At(image, kPackageEndHighOffset)) << 32 | U32At(image, kPackageEndLowOffset);
  if (end != 0 && end < image.size()) image.resize(static_cast<size_t>(end));
  if (image.size() >= kAgentFlagFromEnd + 1) image[image.size() - kAgentFlagFromEnd] = 1;
  return image;
}

}  // namespace kestro

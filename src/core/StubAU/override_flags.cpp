#include "core/StubAU/override_flags.h"

#include "core/Utils/ksub.h"

namespace kestro {

namespace {
bool InRange(int position) { return position >= 1 && position <= kOverrideCount; }
}  // namespace

void OverrideFlags::Set(int position, uint8_t value) {
  if (InRange(position)) flags_[position - 1] = value;
}

uint8_t OverrideFlags::Get(int position) const {
  return InRange(position) ? flags_[position - 1] : kNoOverride;
}

bool OverrideFlags::Apply(int position, bool keyOn) const {
  const uint8_t v = Get(position);
  return v == kNoOverride ? keyOn : v == 1;
}

std::string OverrideFlags::Format() const {
  std::string list = "|";
  for (uint8_t v : flags_) list += std::to_string(v) + "|";
  return list;
}

void OverrideFlags::Load(const std::string& list) {
  const std::vector<std::string> items = SUB::Items(list);
  for (size_t i = 0; i < items.size() && i < flags_.size(); ++i) {
    int64_t v;
    if (SUB::TryParseInt64(items[i], v)) flags_[i] = static_cast<uint8_t>(v & 0xFF);
  }
}

}  // namespace kestro

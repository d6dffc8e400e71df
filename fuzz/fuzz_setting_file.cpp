// Setting-file bytes in; whatever they hold, the parsed set must be one the rest of the model
// can use without checking it again.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "set_state.h"
#include "setting_file.h"
#include "text_encoding.h"

namespace {

using tessarin::kPartCount;
using tessarin::SetState;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "setting file invariant broken: %s\n", what);
  std::abort();
}

void CheckParsed(const SetState& state) {
  Require(state.orderKeys.size() == state.drawOrder.size(), "orderKeys parallel to drawOrder");
  Require(std::is_sorted(state.orderKeys.begin(), state.orderKeys.end()), "orderKeys ascending");

  // Parts are defined from the first on, each with a name; the rest have none.
  int defined = 0;
  while (defined < kPartCount && !state.partNames[static_cast<std::size_t>(defined)].empty()) {
    ++defined;
  }
  for (int part = defined; part < kPartCount; ++part) {
    Require(state.partNames[static_cast<std::size_t>(part)].empty(), "defined parts contiguous");
  }
  for (const std::string& name : state.partNames) {
    Require(tessarin::IsValidUtf8(name), "part names valid UTF-8");
  }

  std::vector<std::int32_t> slots = state.drawOrder;
  std::sort(slots.begin(), slots.end());
  std::vector<std::int32_t> expected;
  for (int part = 0; part < defined; ++part) expected.push_back(tessarin::CompanionSlot(part));
  for (int part = 0; part < defined; ++part) expected.push_back(tessarin::MainSlot(part));
  Require(slots == expected, "drawOrder a permutation of the defined parts' slots");

  // A companion's key mirrors its main image's key.
  std::int32_t mainKey[kPartCount] = {};
  std::int32_t companionKey[kPartCount] = {};
  for (std::size_t i = 0; i < state.drawOrder.size(); ++i) {
    const std::int32_t slot = state.drawOrder[i];
    (slot >= kPartCount ? mainKey[slot - kPartCount] : companionKey[slot]) = state.orderKeys[i];
  }
  for (int part = 0; part < defined; ++part) {
    Require(companionKey[part] == ~mainKey[part], "companion key is ~main key");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SetState fresh;
  tessarin::ParseSettingFile(bytes, fresh);
  CheckParsed(fresh);

  // Parsing over a set that already holds a setting leaves nothing of it behind.
  SetState reused;
  reused.xSize = 1234;
  reused.ySize = -5;
  reused.partNames.fill("stale");
  reused.orderKeys = {1, 2, 3};
  reused.drawOrder = {3, 2, 1};
  tessarin::ParseSettingFile(bytes, reused);
  Require(reused.partNames == fresh.partNames && reused.xSize == fresh.xSize &&
              reused.ySize == fresh.ySize && reused.orderKeys == fresh.orderKeys &&
              reused.drawOrder == fresh.drawOrder,
          "parsing does not depend on the previous setting");
  return 0;
}

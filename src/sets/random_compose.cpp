#include "random_compose.h"

#include "crt_random.h"

namespace tessarin {
namespace {

// A part with nothing but entry 0 has no choice to make, and draws nothing.
bool Draws(bool ticked, int entryCount) {
  return ticked && entryCount > 1;
}

}  // namespace

void RandomCompose(CrtRandom& random, const std::array<bool, kPartCount>& ticked,
                   const std::array<int, kPartCount>& entryCounts,
                   std::array<int, kPartCount>& selection) {
  for (std::size_t part = 0; part < kPartCount; ++part) {
    const int count = entryCounts[part];
    if (!Draws(ticked[part], count)) continue;
    const int entry = random.Next() % count;
    selection[part] = entry == 0 ? 1 : entry;
  }
}

int RandomDrawCount(const std::array<bool, kPartCount>& ticked,
                    const std::array<int, kPartCount>& entryCounts) {
  int draws = 0;
  for (std::size_t part = 0; part < kPartCount; ++part) {
    if (Draws(ticked[part], entryCounts[part])) ++draws;
  }
  return draws;
}

}  // namespace tessarin

#include "random_compose.h"

#include "crt_random.h"

namespace tessarin {

void RandomCompose(CrtRandom& random, const std::array<bool, kPartCount>& ticked,
                   const std::array<int, kPartCount>& entryCounts,
                   std::array<int, kPartCount>& selection) {
  for (std::size_t part = 0; part < kPartCount; ++part) {
    const int count = entryCounts[part];
    if (!ticked[part] || count <= 1) continue;
    const int entry = random.Next() % count;
    selection[part] = entry == 0 ? 1 : entry;
  }
}

}  // namespace tessarin

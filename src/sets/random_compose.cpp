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

void RandomColours(CrtRandom& random, const std::vector<bool>& ticked,
                   const std::vector<int>& choiceCounts, std::vector<int>& choices) {
  // Unlike a part's entry 0, the source colours are a choice like any other.
  for (std::size_t material = 0;
       material < ticked.size() && material < choiceCounts.size() && material < choices.size();
       ++material) {
    const int count = choiceCounts[material];
    if (Draws(ticked[material], count)) choices[material] = random.Next() % count;
  }
}

int RandomColourDrawCount(const std::vector<bool>& ticked, const std::vector<int>& choiceCounts) {
  int draws = 0;
  for (std::size_t material = 0; material < ticked.size() && material < choiceCounts.size();
       ++material) {
    if (Draws(ticked[material], choiceCounts[material])) ++draws;
  }
  return draws;
}

}  // namespace tessarin

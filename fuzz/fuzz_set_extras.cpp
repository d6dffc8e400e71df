// A set's optional files in: the first byte picks the sheet's size, the rest is read both as a
// set.json and as a CREDITS.csv. Whatever they hold, what parses must be usable as it stands,
// and what fails must leave the set as one without the file.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "name_case.h"
#include "set_credits.h"
#include "set_extras.h"

namespace {

using tessarin::Animation;
using tessarin::ColourSwap;
using tessarin::Material;
using tessarin::SetExtras;
using tessarin::Status;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "set extras invariant broken: %s\n", what);
  std::abort();
}

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// A failure is one line that names the file.
void CheckFailure(const Status& status, std::string_view file) {
  Require(StartsWith(status.Message(), file), "a failure names the file");
  Require(status.Message().find_first_of("\r\n") == std::string::npos, "a failure is one line");
}

// Sheet sides a set may give, from the usual to the degenerate, indexed by the first byte's
// high and low four bits: seeds begin with "0", a 192 x 192 sheet.
constexpr int kSides[16] = {192, 144, 96, 192, 48, 7, 1, 0, -1, 2, 3, 384, 65535, 65536, 131070, 6};

bool Same(const SetExtras& a, const SetExtras& b) {
  if (!(a.grid == b.grid) || a.animations != b.animations || a.xSize != b.xSize) return false;
  if (a.materials.size() != b.materials.size()) return false;
  for (std::size_t m = 0; m < a.materials.size(); ++m) {
    const Material& x = a.materials[m];
    const Material& y = b.materials[m];
    if (x.name != y.name || x.source != y.source || x.parts != y.parts ||
        x.variants.size() != y.variants.size()) {
      return false;
    }
  }
  return true;
}

void CheckAnimations(const std::vector<Animation>& animations, int cells) {
  for (const Animation& animation : animations) {
    Require(!animation.name.empty(), "animations are named");
    Require(animation.from >= 0 && animation.from < cells, "from lies on the grid");
    Require(animation.to >= 0 && animation.to < cells, "to lies on the grid");
    Require(animation.ms >= 1, "frames last");
  }
}

// The swaps of one part when every material takes the variant at `pick` (modulo its count).
void CheckSwaps(const SetExtras& extras, const std::string& part, std::size_t pick) {
  std::vector<std::pair<std::string, std::string>> choices;
  for (const Material& material : extras.materials) {
    const std::size_t options = material.variants.size() + 1;
    const std::size_t k = pick % options;
    choices.emplace_back(material.name, k == 0 ? "source" : material.variants[k - 1].name);
  }
  std::vector<ColourSwap> swaps;
  Require(tessarin::SwapsForPart(extras, choices, part, swaps).IsOk(),
          "every material's own variants are found");
  // Materials that share a part share no colour, so no colour is swapped two ways.
  std::vector<std::uint32_t> from;
  for (const ColourSwap& swap : swaps) {
    Require(swap.from != swap.to, "a swap changes the colour");
    Require(swap.from <= 0xFFFFFFu && swap.to <= 0xFFFFFFu, "swaps are 0xRRGGBB");
    from.push_back(swap.from);
  }
  std::sort(from.begin(), from.end());
  Require(std::adjacent_find(from.begin(), from.end()) == from.end(),
          "no colour swapped twice on a part");
}

void CheckMaterials(const SetExtras& extras) {
  std::vector<std::string> parts = {"", "no such part"};
  for (std::size_t m = 0; m < extras.materials.size(); ++m) {
    const Material& material = extras.materials[m];
    Require(!material.source.empty(), "a material has colours");
    for (std::size_t n = 0; n < m; ++n) {
      Require(!tessarin::EqualsIgnoringCase(material.name, extras.materials[n].name),
              "materials named apart");
    }
    for (const Material::Variant& variant : material.variants) {
      Require(variant.colours.size() == material.source.size(), "variants as long as source");
      Require(material.Colours(variant.name) == &variant.colours, "a variant finds itself");
    }
    Require(material.Colours("SOURCE") == &material.source, "\"source\" is the original");
    for (const std::string& part : material.parts) {
      Require(material.Covers(part), "a material covers its parts");
      parts.push_back(part);
    }
  }
  std::size_t most = 1;
  for (const Material& material : extras.materials) {
    most = std::max(most, material.variants.size() + 1);
  }
  // Bounded so that a file of many variants stays quick.
  most = std::min<std::size_t>(most, 8);
  for (const std::string& part : parts) {
    for (std::size_t pick = 0; pick < most; ++pick) CheckSwaps(extras, part, pick);
  }
  std::vector<ColourSwap> swaps;
  Require(!tessarin::SwapsForPart(extras, {{"no such palette", "source"}}, "", swaps).IsOk(),
          "an unknown material is refused");
}

void FuzzExtras(std::string_view json, int xSize, int ySize) {
  SetExtras none;
  Require(tessarin::ParseSetExtras({}, xSize, ySize, none).IsOk(), "no file is no failure");

  SetExtras extras;
  extras.xSize = 77;
  extras.materials.resize(3);
  const Status status = tessarin::ParseSetExtras(json, xSize, ySize, extras);
  Require(extras.xSize == xSize, "the sheet's width is kept");
  if (!status) {
    CheckFailure(status, "set.json: ");
    Require(Same(extras, none), "a failed file leaves the set as one without it");
    return;
  }
  if (!extras.grid.IsNone()) {
    Require(extras.grid.columns >= 1 && extras.grid.rows >= 1, "a grid has cells");
    Require(xSize % extras.grid.columns == 0 && ySize % extras.grid.rows == 0,
            "the grid divides the sheet");
  }
  const int cells = extras.grid.columns * extras.grid.rows;
  CheckAnimations(extras.animations, cells);
  Require(tessarin::AnimationsFor(extras, false) == extras.animations, "the full sheet's own");
  const std::vector<Animation> half = tessarin::AnimationsFor(extras, true);
  Require(half.size() <= extras.animations.size(), "the half sheet keeps a selection");
  CheckAnimations(half, cells);
  CheckMaterials(extras);
}

void FuzzCredits(std::string_view csv) {
  tessarin::SetCredits credits;
  const Status status = credits.Parse(csv);
  if (!status) {
    CheckFailure(status, "CREDITS.csv: ");
    Require(credits.Entries().empty(), "a failed file credits nothing");
    return;
  }
  for (const tessarin::Credit& credit : credits.Entries()) {
    Require(!credit.filename.empty(), "credits name a file");
    Require(credits.For(credit.filename) != nullptr, "a credited path finds a credit");
    Require(credits.For(credit.filename + "/below.png") != nullptr, "a folder credits below");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int xSize = kSides[data[0] >> 4];
  const int ySize = kSides[data[0] & 15];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  FuzzExtras(text, xSize, ySize);
  FuzzCredits(text);
  return 0;
}

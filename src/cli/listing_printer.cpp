#include "listing_printer.h"

#include "json_text.h"
#include "shown_name.h"

namespace tessarin::cli {
namespace {

std::string SpaceSeparated(const std::vector<std::int32_t>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) text += ' ';
    text += std::to_string(numbers[i]);
  }
  return text;
}

std::string CommaSeparated(const std::vector<std::string>& texts) {
  std::string text;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) text += ", ";
    text += TerminalText(texts[i]);
  }
  return text;
}

// A suffix, so that image lines without a credit stay as scripts have always read them.
std::string LicenceSuffix(const std::vector<std::string>& licenses) {
  return " [" + (licenses.empty() ? std::string("no licence given") : CommaSeparated(licenses)) +
         "]";
}

void PrintImages(std::ostream& out, const PartDescription& part) {
  auto credit = part.credits.begin();
  for (const std::string& image : part.images) {
    out << "       " << TerminalText(image);
    if (credit != part.credits.end() && credit->image == image) {
      out << LicenceSuffix(credit->licenses);
      ++credit;
    }
    out << '\n';
  }
}

void PrintExtras(std::ostream& out, const SetDescription& set) {
  if (set.grid.IsNone()) {
    out << "grid: none\n";
  } else {
    out << "grid: " << set.grid.columns << 'x' << set.grid.rows << " cells\n";
  }
  for (const Animation& animation : set.animations) {
    out << "animation " << TerminalText(animation.name) << ": cells " << animation.from << '-'
        << animation.to << ", " << PlaybackName(animation.playback) << ", " << animation.ms
        << " ms\n";
  }
  for (const PaletteDescription& palette : set.palettes) {
    out << "palette " << TerminalText(palette.material) << ": " << CommaSeparated(palette.variants)
        << '\n';
  }
}

void PrintSetDescriptionText(std::ostream& out, const SetDescription& set) {
  out << "set: " << TerminalText(set.name) << '\n';
  out << "size: " << set.width << 'x' << set.height << '\n';
  out << "parts: " << set.parts.size() << '\n';
  for (const PartDescription& part : set.parts) {
    out << "  " << part.index << ": " << TerminalText(part.name) << " (priority " << part.priority
        << ", ";
    if (!part.found) {
      out << (part.leavesSet ? "folder not found: the name leaves the set folder)\n"
                             : "folder not found)\n");
      continue;
    }
    out << part.images.size() << (part.images.size() == 1 ? " image)\n" : " images)\n");
    PrintImages(out, part);
  }
  out << "order keys: " << SpaceSeparated(set.orderKeys) << '\n';
  out << "draw order: " << SpaceSeparated(set.drawOrder) << '\n';
  PrintExtras(out, set);
}

}  // namespace

void PrintSetNames(std::ostream& out, const std::vector<std::string>& sets, bool json) {
  if (json) {
    out << SetNamesJson(sets) << '\n';
    return;
  }
  for (const std::string& set : sets) out << TerminalText(set) << '\n';
}

void PrintSetDescription(std::ostream& out, const SetDescription& set, bool json) {
  if (json) {
    out << SetDescriptionJson(set) << '\n';
  } else {
    PrintSetDescriptionText(out, set);
  }
}

}  // namespace tessarin::cli

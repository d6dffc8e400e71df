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
    for (const std::string& image : part.images) out << "       " << TerminalText(image) << '\n';
  }
  out << "order keys: " << SpaceSeparated(set.orderKeys) << '\n';
  out << "draw order: " << SpaceSeparated(set.drawOrder) << '\n';
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

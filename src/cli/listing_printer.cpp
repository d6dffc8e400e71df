#include "listing_printer.h"

#include "json_text.h"

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

void PrintSetDescriptionJson(std::ostream& out, const SetDescription& set) {
  out << "{\"set\":" << JsonString(set.name) << ",\"width\":" << set.width
      << ",\"height\":" << set.height << ",\"parts\":[";
  for (std::size_t i = 0; i < set.parts.size(); ++i) {
    const PartDescription& part = set.parts[i];
    if (i > 0) out << ',';
    out << "{\"index\":" << part.index << ",\"name\":" << JsonString(part.name)
        << ",\"priority\":" << part.priority << ",\"found\":" << (part.found ? "true" : "false")
        << ",\"images\":" << JsonArray(part.images) << '}';
  }
  out << "],\"order_keys\":" << JsonArray(set.orderKeys)
      << ",\"draw_order\":" << JsonArray(set.drawOrder) << "}\n";
}

void PrintSetDescriptionText(std::ostream& out, const SetDescription& set) {
  out << "set: " << set.name << '\n';
  out << "size: " << set.width << 'x' << set.height << '\n';
  out << "parts: " << set.parts.size() << '\n';
  for (const PartDescription& part : set.parts) {
    out << "  " << part.index << ": " << part.name << " (priority " << part.priority << ", ";
    if (!part.found) {
      out << "folder not found)\n";
      continue;
    }
    out << part.images.size() << (part.images.size() == 1 ? " image)\n" : " images)\n");
    for (const std::string& image : part.images) out << "       " << image << '\n';
  }
  out << "order keys: " << SpaceSeparated(set.orderKeys) << '\n';
  out << "draw order: " << SpaceSeparated(set.drawOrder) << '\n';
}

}  // namespace

void PrintSetNames(std::ostream& out, const std::vector<std::string>& sets, bool json) {
  if (json) {
    out << "{\"sets\":" << JsonArray(sets) << "}\n";
    return;
  }
  for (const std::string& set : sets) out << set << '\n';
}

void PrintSetDescription(std::ostream& out, const SetDescription& set, bool json) {
  if (json) {
    PrintSetDescriptionJson(out, set);
  } else {
    PrintSetDescriptionText(out, set);
  }
}

}  // namespace tessarin::cli

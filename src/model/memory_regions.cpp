#include "model/memory_regions.h"

#include <vector>

#include "base/ascii.h"

namespace quillon {

std::optional<MemoryRegions> parse_regions(std::string_view text) {
    MemoryRegions regions{false, false, false};
    const std::string lower = ascii_lower(text);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = lower.find(',', start);
        const std::string_view name = std::string_view(lower).substr(
            start, comma == std::string::npos ? std::string::npos : comma - start);
        if (name == "flash") {
            regions.flash = true;
        } else if (name == "eeprom") {
            regions.eeprom = true;
        } else if (name == "config") {
            regions.config = true;
        } else {
            return std::nullopt;  // an unknown name, or an empty one ("flash,,config", "")
        }
        if (comma == std::string::npos) return regions;
        start = comma + 1;
    }
}

std::string regions_text(const MemoryRegions& regions) {
    std::vector<std::string> names;
    if (regions.flash) names.emplace_back("FLASH");
    if (regions.eeprom) names.emplace_back("data EEPROM");
    if (regions.config) names.emplace_back("configuration");
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

}  // namespace quillon

#include "hexfile/hex_paths.h"

namespace quillon {

namespace {

constexpr std::size_t kShownPathCharacters = 70;

bool is_continuation_byte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string shorten_path(std::string_view path) {
    // Walk back over 70 characters; a UTF-8 character starts at a byte that is no continuation.
    std::size_t start = path.size();
    std::size_t characters = 0;
    while (start > 0 && characters < kShownPathCharacters) {
        --start;
        while (start > 0 && is_continuation_byte(path[start]))
            --start;
        ++characters;
    }
    if (start == 0) return std::string(path);
    return "... " + std::string(path.substr(start));
}

ChosenPath split_chosen_path(std::string_view path, char separator) {
    const std::size_t cut = path.rfind(separator);
    if (cut == std::string_view::npos) return {{}, std::string(path)};
    return {std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

}  // namespace quillon

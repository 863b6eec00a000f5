#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

// A theme's colour by its number in the published roles table (1 to 17). The tests name roles by
// number so that they check the program's role names against the table, not against themselves.
template <typename Theme>
std::uint32_t role_number(const Theme& theme, int number) {
    return theme.colors.at(static_cast<std::size_t>(number - 1));
}

}  // namespace quillon

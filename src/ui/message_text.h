#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Words longer than this are broken once, after a folder separator or an underscore.
inline constexpr std::size_t kLongWordLength = 55;

// The message as the message box shows it and copies it: one trailing CR LF dropped, and each
// word longer than 55 characters broken once after its last backslash (or, lacking one, its last
// underscore) within the first 55 characters, so a long path wraps after a folder. Line ends are
// CR LF.
std::string wrap_message(std::string_view text);

}  // namespace quillon

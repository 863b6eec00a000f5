#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "base/result.h"

namespace quillon {

// Paths travel through the program as UTF-8 text; this is the one place that turns them into
// file-system paths, so names outside ASCII work on every system.
std::filesystem::path path_from_utf8(std::string_view path);

// The whole contents of the file at `path`, byte for byte, or why it could not be read.
Result<std::string> read_file_text(const std::string& path);

// Writes `text` to `out` and closes it, checking the write, the flush and the close.
Result<> write_and_close(std::ofstream& out, std::string_view text);

// Replaces the file at `path` with `text` without ever leaving it half-written: the text goes to
// a new file in the same folder, which then takes the old one's place in one step. On failure the
// old file is untouched and no temporary file stays behind.
Result<> replace_file(const std::string& path, std::string_view text);

}  // namespace quillon

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hexfile/hex_reader.h"

namespace quillon {

struct AppState;
class Host;

inline constexpr const char* kStatusNotLoaded = "HEX file not loaded!";
inline constexpr const char* kStatusSaved = "HEX file saved.";
inline constexpr const char* kStatusNotSaved = "HEX file not saved!";

// loaded_flash_end / 1024 as the load status shows it: the first 4 characters of its exact
// decimal form, without a leading zero before the point (32768 -> "32", 1234 -> "1.20",
// 256 -> ".25", 102912 -> "100.", 0 -> "0").
std::string kilobytes_text(std::int32_t bytes);

// "Operation completed. Total N (KK) program bytes loaded."
std::string load_status_text(std::int32_t loaded_flash_end);

// Loads the file `file_name` in the folder state.last_path into the image: erases the buffers,
// reads the file and reports through `host` (messages, redraw, loaded-file label, status line)
// with the window disabled meanwhile. A file that is rejected or cannot be read leaves erased
// buffers and loaded_flash_end 0.
HexReadOutcome load_hex_file(AppState& state, Host& host, std::string_view file_name);

// The Open HEX File command after its dialog: state.last_path becomes the chosen path's folder,
// then load_hex_file runs on its name. Storing the folder (kLastPathSetting) is the caller's business.
HexReadOutcome open_hex_file(AppState& state, Host& host, std::string_view chosen_path, char separator);

// Writes the image to `path` (the command after its dialog and overwrite question). The old file
// stays whole until the new one is complete; a failure is reported in a message box and in the
// status line, and the window is enabled again. Returns whether the file was saved.
bool save_hex_file(const AppState& state, Host& host, const std::string& path);

// "Do you want to overwrite file PATH?"
std::string overwrite_question(std::string_view path);

enum class SaveOutcome { Cancelled, Saved, Failed };

// The Save Buffer As command after its dialog: state.last_path becomes the chosen path's folder;
// an existing file is replaced only when the user answers Yes to the overwrite question.
// Storing the folder (kLastPathSetting) is the caller's business.
SaveOutcome save_buffer_as(AppState& state, Host& host, std::string_view chosen_path, char separator);

}  // namespace quillon

#include "hexfile/hex_file_commands.h"

#include <filesystem>

#include "base/host.h"
#include "hexfile/file_io.h"
#include "hexfile/hex_paths.h"
#include "hexfile/hex_writer.h"
#include "model/app_state.h"
#include "model/reset_buffers.h"

namespace quillon {

std::string kilobytes_text(std::int32_t bytes) {
    const auto value = static_cast<std::uint32_t>(std::max(bytes, 0));
    const std::uint32_t whole = value / 1024;
    const std::uint32_t fraction = value % 1024;
    // fraction / 1024 has at most ten decimal places: fraction * 10^10 / 1024 = fraction * 9765625.
    std::string text = whole > 0 || fraction == 0 ? std::to_string(whole) : std::string();
    if (fraction > 0) {
        std::string digits = std::to_string(std::uint64_t{fraction} * 9765625u);
        digits.insert(0, 10 - digits.size(), '0');
        digits.erase(digits.find_last_not_of('0') + 1);
        text += '.';
        text += digits;
    }
    return text.substr(0, 4);
}

std::string load_status_text(std::int32_t loaded_flash_end) {
    return "Operation completed. Total " + std::to_string(loaded_flash_end) + " (" +
           kilobytes_text(loaded_flash_end) + "K) program bytes loaded.";
}

HexReadOutcome load_hex_file(AppState& state, Host& host, std::string_view file_name) {
    const std::string path = state.last_path + std::string(file_name);
    host.disable();
    reset_buffers(state);
    state.image.loaded_flash_end = 0;
    const HexReadResult result = read_hex_file(path, state.image);
    if (!result.message.empty()) host.show_message(result.message, result.message_kind, state.product_title);
    if (result.accepted()) {
        host.updatedisplay();
        host.set_loaded_file(shorten_path(path));
        host.set_status(load_status_text(state.image.loaded_flash_end));
    } else {
        // Nothing of a rejected file stays, not even how far it reached.
        reset_buffers(state);
        state.image.loaded_flash_end = 0;
        host.updatedisplay();
        host.set_loaded_file("");
        host.set_status(kStatusNotLoaded);
    }
    host.enable();
    return result.outcome;
}

HexReadOutcome open_hex_file(AppState& state, Host& host, std::string_view chosen_path, char separator) {
    ChosenPath chosen = split_chosen_path(chosen_path, separator);
    state.last_path = std::move(chosen.folder);
    return load_hex_file(state, host, chosen.name);
}

bool save_hex_file(const AppState& state, Host& host, const std::string& path) {
    host.disable();
    const Result<> written = replace_file(path, write_hex_text(state.image));
    if (!written.ok()) {
        host.enable();
        host.set_status(kStatusNotSaved);
        host.show_message("The HEX file " + path + " could not be saved: " + written.error().message + ".",
                          MessageKind::Error, state.product_title);
        return false;
    }
    // The label names the saved file only once it really holds the image.
    host.set_loaded_file(shorten_path(path));
    host.enable();
    host.set_status(kStatusSaved);
    return true;
}

std::string overwrite_question(std::string_view path) {
    return "Do you want to overwrite file " + std::string(path) + "?";
}

SaveOutcome save_buffer_as(AppState& state, Host& host, std::string_view chosen_path, char separator) {
    state.last_path = split_chosen_path(chosen_path, separator).folder;
    const std::string path(chosen_path);
    std::error_code error;
    if (std::filesystem::exists(path_from_utf8(path), error) &&
        host.show_message(overwrite_question(path), MessageKind::YesNo, state.product_title) ==
            MessageAnswer::No) {
        return SaveOutcome::Cancelled;
    }
    return save_hex_file(state, host, path) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

}  // namespace quillon

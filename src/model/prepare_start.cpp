#include "model/prepare_start.h"

#include <filesystem>

#include "base/ascii.h"

namespace quillon {

std::string make_program_folder(std::string_view dir, char separator, bool lower_case) {
    std::string folder(dir);
    if (folder.empty() || folder.back() != separator) folder.push_back(separator);
    return lower_case ? ascii_lower(folder) : folder;
}

std::string find_device_file(const std::string& program_folder, const std::vector<std::string>& data_dirs,
                             char separator) {
    const std::string beside_program = program_folder + kDeviceFileName;
    std::error_code error;
    if (std::filesystem::exists(beside_program, error)) return beside_program;
    for (const std::string& dir : data_dirs) {
        const std::string candidate = make_program_folder(dir, separator, false) + kDeviceFileName;
        if (std::filesystem::exists(candidate, error)) return candidate;
    }
    return beside_program;
}

DeviceFileResult prepare_start(AppState& state, const StartEnvironment& environment) {
    state.program_folder =
        make_program_folder(environment.program_dir, environment.separator, environment.case_insensitive);
    state.product_title = kProductTitle;
    state.layout_scale = 1.0;
    const std::string path =
        find_device_file(state.program_folder, environment.data_dirs, environment.separator);
    DeviceFileResult result = load_device_file(state.catalog, path);
    state.model_count = state.catalog.model_count();
    return result;
}

}  // namespace quillon

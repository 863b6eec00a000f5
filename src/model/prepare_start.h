#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/app_state.h"
#include "model/device_file.h"

namespace quillon {

// What start-up needs to know about the machine; the platform layer fills it in.
struct StartEnvironment {
    std::string program_dir;        // folder of the program file
    char separator = '/';           // the platform's folder separator
    bool case_insensitive = false;  // file names ignore letter case on this system
    // Folders searched for the device library after the program folder, in order.
    std::vector<std::string> data_dirs;
};

// The program folder: `dir` with one trailing separator, in lower case where file names ignore case.
std::string make_program_folder(std::string_view dir, char separator, bool lower_case);

// The device library path: the program folder's copy when it exists, else the first data folder
// that holds one, else the program folder's (so the message names where it was expected).
std::string find_device_file(const std::string& program_folder, const std::vector<std::string>& data_dirs,
                             char separator);

// Start-up preparation after the single-instance check: fixes the folder and title and loads the
// device library into state.catalog. The caller ends the program unless the result is Loaded.
DeviceFileResult prepare_start(AppState& state, const StartEnvironment& environment);

}  // namespace quillon

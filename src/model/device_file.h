#pragma once

#include <string>
#include <string_view>

#include "model/device_catalog.h"

namespace quillon {

inline constexpr const char* kDeviceFileName = "quillondevices.txt";

enum class DeviceFileStatus {
    Loaded,      // at least one model
    NoModel,     // readable, but no "model:" line: the program cannot go on
    Unreadable,  // missing, not a file, or a read error; `message` says which
};

struct DeviceFileResult {
    DeviceFileStatus status = DeviceFileStatus::Unreadable;
    std::string message;  // for Unreadable: one line that names the path and the cause
};

// Fills `catalog` from the text of a device definition file (CR LF or LF line ends).
// Returns Loaded or NoModel.
DeviceFileStatus parse_device_text(DeviceCatalog& catalog, std::string_view text);

// Reads the file at `path` and parses it into `catalog`.
DeviceFileResult load_device_file(DeviceCatalog& catalog, const std::string& path);

}  // namespace quillon

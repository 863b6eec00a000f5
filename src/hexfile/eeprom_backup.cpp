#include "hexfile/eeprom_backup.h"

#include <filesystem>

#include "base/ascii.h"
#include "hexfile/file_io.h"
#include "hexfile/hex_writer.h"

namespace quillon {

namespace {

constexpr int kMaxBackupNumber = 999;

bool taken(const std::string& path) {
    std::error_code error;
    // A name whose state cannot be told counts as taken: it is never overwritten.
    return std::filesystem::exists(path_from_utf8(path), error) || error;
}

}  // namespace

std::string free_eeprom_backup_path(std::string_view image_path) {
    std::string stem(image_path);
    if (ascii_lower(std::string_view(stem)).ends_with(".hex")) stem.resize(stem.size() - 4);
    stem += "-eeprom-backup";
    if (!taken(stem + ".hex")) return stem + ".hex";
    for (int number = 2; number <= kMaxBackupNumber; ++number) {
        const std::string path = stem + "-" + std::to_string(number) + ".hex";
        if (!taken(path)) return path;
    }
    return {};
}

Result<std::string> save_eeprom_backup(std::string_view image_path, const MemoryImage& chip) {
    std::string path = free_eeprom_backup_path(image_path);
    if (path.empty())
        return failure(Error{"every backup name beside " + std::string(image_path) + " is taken"});
    if (const Result<> written = replace_file(path, write_hex_text(chip)); !written.ok())
        return failure(Error{path + ": " + written.error().message});
    return path;
}

}  // namespace quillon

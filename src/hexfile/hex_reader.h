#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/host.h"
#include "base/memory_image.h"

namespace quillon {

// Record errors, each as it follows "Line number L" in the message.
inline constexpr const char* kErrorNoColon = ": The record does not begin with ':' simbol.";
inline constexpr const char* kErrorTooShort = ": The record is too short.";
inline constexpr const char* kErrorChecksum = ": Invalid 'checksum' field in the record.";
inline constexpr const char* kErrorRecordType = ": Invalid 'record type' field in the record.";
inline constexpr const char* kErrorType04 = ": Invalid '04 type' record.";
inline constexpr const char* kErrorType02 = ": Invalid '02 type' record.";
inline constexpr const char* kErrorByteCount = ": Invalid 'number of bytes' field in the record.";
inline constexpr const char* kErrorAddress = ": Invalid 'address' field in the record.";
inline constexpr const char* kErrorDataLength =
    ": The record does not contain the specified number of bytes.";
inline constexpr const char* kErrorDataByte = ": Invalid data byte in the record.";

enum class HexReadOutcome {
    Accepted,            // every record passed and every byte found its place
    AcceptedOutOfRange,  // accepted, but data outside the address map was dropped (a warning is due)
    Rejected,            // a record failed its checks; nothing of the file may be kept
    Unreadable,          // the file could not be opened or read
};

// What reading a HEX file came to, and the message box the user is owed (if any).
struct HexReadResult {
    HexReadOutcome outcome = HexReadOutcome::Accepted;
    int line = 0;                                // Rejected: number of the failing line, from 1
    std::string error;                           // Rejected: one of the kError texts
    std::int64_t out_of_range_count = 0;         // data bytes the address map had no place for
    std::string message;                         // message box text; empty when none is due
    MessageKind message_kind = MessageKind::Ok;  // Error or Info when a message is due

    bool accepted() const {
        return outcome == HexReadOutcome::Accepted || outcome == HexReadOutcome::AcceptedOutOfRange;
    }
};

// Examines the text of a HEX file line by line and places its data bytes into `image` by the
// PIC18 address map (FLASH, ID locations and device ID checked and dropped, configuration, EEPROM),
// raising image.loaded_flash_end. Stops at the end-of-file record or the first bad record. A
// rejected text may have placed some bytes already: the caller erases the image again.
HexReadResult read_hex_text(std::string_view text, MemoryImage& image);

// read_hex_text on the contents of the file at `path` (UTF-8). A file that cannot be opened or
// read gives Unreadable with a message that names it.
HexReadResult read_hex_file(const std::string& path, MemoryImage& image);

// Message texts of the reader.
std::string record_error_message(int line, std::string_view error);
std::string out_of_range_message(std::int64_t count, std::string_view list_text);

}  // namespace quillon

#include "hexfile/hex_reader.h"

#include "buffers/hex_text.h"
#include "engine/host.h"
#include "hexfile/address_map.h"
#include "hexfile/file_io.h"
#include "hexfile/hex_lines.h"
#include "hexfile/out_of_range_list.h"

namespace quillon {

namespace {

constexpr std::int32_t kTypeData = 0x00;
constexpr std::int32_t kTypeEndOfFile = 0x01;
constexpr std::int32_t kTypeSegment = 0x02;
constexpr std::int32_t kTypeLinear = 0x04;
constexpr std::int32_t kTypeStartLinear = 0x05;

constexpr std::size_t kShortestRecord = 11;  // ":" count address type checksum

enum class RecordStep { Next, EndOfFile, Error };

// One pass over a file's records, with the address offsets that stay in force from record to record.
class RecordReader {
  public:
    explicit RecordReader(MemoryImage& image) : image_(image) {}

    // Checks one line (trailing spaces already removed) and places its data.
    RecordStep examine(std::string_view line) {
        if (line[0] != ':') return fail(kErrorNoColon);
        if (line.size() < kShortestRecord) return fail(kErrorTooShort);
        const std::string_view body = line.substr(1);
        const std::string_view fields = body.substr(0, body.size() - 2);
        if (hex_checksum(fields) != body.substr(body.size() - 2)) return fail(kErrorChecksum);

        const std::int32_t count = parse_hex2(fields.substr(0, 2));
        const std::int32_t address = parse_hex4(fields.substr(2, 4));
        const std::int32_t type = parse_hex2(fields.substr(6, 2));
        const std::string_view data = fields.substr(8);
        switch (type) {
            case kTypeData:
                return data_record(count, address, data);
            case kTypeEndOfFile:
                return RecordStep::EndOfFile;
            case kTypeSegment:
                return segment_record(address, data);
            case kTypeLinear:
                return linear_record(address, data);
            case kTypeStartLinear:
                return RecordStep::Next;
            default:
                return fail(kErrorRecordType);
        }
    }

    const char* error() const { return error_; }
    const OutOfRangeList& out_of_range() const { return out_of_range_; }

  private:
    RecordStep fail(const char* error) {
        error_ = error;
        return RecordStep::Error;
    }

    RecordStep linear_record(std::int32_t address, std::string_view data) {
        const std::int32_t value = parse_hex4(data);
        if (data.size() != 4 || address != 0 || value < 0) return fail(kErrorType04);
        upper_ = value;
        return RecordStep::Next;
    }

    RecordStep segment_record(std::int32_t address, std::string_view data) {
        const std::int32_t value = parse_hex4(data);
        if (data.size() != 4 || data.back() != '0' || value < 0 || address != 0) return fail(kErrorType02);
        segment_ = value;
        return RecordStep::Next;
    }

    RecordStep data_record(std::int32_t count, std::int32_t address, std::string_view data) {
        if (data.empty()) return RecordStep::Next;
        if (count < 0) return fail(kErrorByteCount);
        if (address < 0) return fail(kErrorAddress);
        if (data.size() != 2 * static_cast<std::size_t>(count)) return fail(kErrorDataLength);
        // 64-bit: an upper offset of 0x8000 or more reaches beyond what a 32-bit address holds.
        const std::int64_t base = std::int64_t{upper_} * 0x10000 + std::int64_t{segment_} * 16 + address;
        for (std::int32_t j = 0; j < count; ++j) {
            if (!place_byte(base + j, data.substr(2 * static_cast<std::size_t>(j), 2)))
                return fail(kErrorDataByte);
        }
        return RecordStep::Next;
    }

    // Puts one data byte where the address map says; false when a byte that has a place is not
    // two hex digits. Bytes without a place are listed, never checked.
    bool place_byte(std::int64_t address, std::string_view digits) {
        if (address >= 0 && address < static_cast<std::int64_t>(image_.flash.size())) {
            const std::int32_t value = parse_hex2(digits);
            if (value < 0) return false;
            image_.flash[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
            if (address >= image_.loaded_flash_end)
                image_.loaded_flash_end = static_cast<std::int32_t>(address + 1);
            return true;
        }
        if ((address >= kIdLocationsFirst && address <= kIdLocationsLast) ||
            (address >= kDeviceIdFirst && address <= kDeviceIdLast)) {
            return parse_hex2(digits) >= 0;
        }
        if (address >= kConfigBaseAddress && address < kConfigBaseAddress + kConfigByteCount) {
            const std::int32_t value = parse_hex2(digits);
            if (value < 0) return false;
            image_.config(static_cast<int>(address - kConfigBaseAddress) + 1) = value;
            return true;
        }
        const std::int64_t eeprom_index = address - kEepromBaseAddress;
        if (eeprom_index >= 0 && eeprom_index < static_cast<std::int64_t>(image_.eeprom.size())) {
            const std::int32_t value = parse_hex2(digits);
            if (value < 0) return false;
            image_.eeprom[static_cast<std::size_t>(eeprom_index)] = static_cast<std::uint8_t>(value);
            return true;
        }
        out_of_range_.add(address);
        return true;
    }

    MemoryImage& image_;
    std::int32_t upper_ = 0;
    std::int32_t segment_ = 0;
    OutOfRangeList out_of_range_;
    const char* error_ = "";
};

}  // namespace

std::string record_error_message(int line, std::string_view error) {
    std::string text = "Input program file in Intel Hex Format contains errors.\r\nLine number ";
    text += std::to_string(line);
    text += error;
    return text;
}

std::string out_of_range_message(std::int64_t count, std::string_view list_text) {
    std::string text =
        "Warning!\r\nInput program file in Intel Hex Format contains errors.\r\nThere are data for ";
    text += std::to_string(count);
    text += " addresses out of range:\r\n";
    text += list_text;
    text += "\r\n";
    return text;
}

HexReadResult read_hex_text(std::string_view text, MemoryImage& image) {
    RecordReader reader(image);
    const std::vector<std::string_view> lines = split_hex_lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trim_trailing_spaces(lines[i]);
        if (line.empty() || line[0] == ';') continue;
        const RecordStep step = reader.examine(line);
        if (step == RecordStep::EndOfFile) break;
        if (step == RecordStep::Error) {
            HexReadResult result;
            result.outcome = HexReadOutcome::Rejected;
            result.line = static_cast<int>(i + 1);
            result.error = reader.error();
            result.out_of_range_count = reader.out_of_range().count();
            result.message = record_error_message(result.line, result.error);
            result.message_kind = kMessageError;
            return result;
        }
    }
    HexReadResult result;
    const OutOfRangeList& out_of_range = reader.out_of_range();
    if (!out_of_range.empty()) {
        result.outcome = HexReadOutcome::AcceptedOutOfRange;
        result.out_of_range_count = out_of_range.count();
        result.message = out_of_range_message(out_of_range.count(), out_of_range.text());
        result.message_kind = kMessageInfo;
    }
    return result;
}

HexReadResult read_hex_file(const std::string& path, MemoryImage& image) {
    FileText file = read_file_text(path);
    if (!file.ok()) {
        HexReadResult result;
        result.outcome = HexReadOutcome::Unreadable;
        result.message = "The HEX file " + path + " could not be read: " + file.error + ".";
        result.message_kind = kMessageError;
        return result;
    }
    return read_hex_text(file.text, image);
}

}  // namespace quillon

#include "hexfile/hex_reader.h"

#include <array>

#include "base/host.h"
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

// The reader decodes every character of a file, so it does by table what parse_hex2 and
// hex_checksum do: the same digits (0-9 and upper-case A-F only), the same -1 for a bad pair.
constexpr std::array<std::int8_t, 256> kDigitValue = [] {
    std::array<std::int8_t, 256> value{};
    value.fill(-1);
    for (int d = 0; d < 10; ++d)
        value['0' + d] = static_cast<std::int8_t>(d);
    for (int d = 0; d < 6; ++d)
        value['A' + d] = static_cast<std::int8_t>(10 + d);
    return value;
}();
constexpr char kUpperDigits[] = "0123456789ABCDEF";

// parse_hex2 of the two characters at `at`.
std::int32_t pair_value(const char* at) {
    const std::int32_t high = kDigitValue[static_cast<unsigned char>(at[0])];
    const std::int32_t low = kDigitValue[static_cast<unsigned char>(at[1])];
    return (high | low) < 0 ? -1 : high * 16 + low;
}

// parse_hex4 of the four characters at `at`.
std::int32_t quad_value(const char* at) {
    const std::int32_t high = pair_value(at);
    const std::int32_t low = pair_value(at + 2);
    return (high | low) < 0 ? -1 : high * 256 + low;
}

// Whether `check` is exactly hex_checksum(fields): the low byte of minus the sum of the pairs,
// a last lone character ignored and a bad pair counted as -1.
bool checksum_matches(std::string_view fields, std::string_view check) {
    // Unsigned, so that no line is long enough to overflow the sum; the low byte is what counts.
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 2 <= fields.size(); i += 2)
        sum += static_cast<std::uint32_t>(pair_value(fields.data() + i));
    const std::uint32_t expected = 0u - sum;
    return check[0] == kUpperDigits[(expected >> 4) & 0xF] && check[1] == kUpperDigits[expected & 0xF];
}

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
        if (!checksum_matches(fields, body.substr(body.size() - 2))) return fail(kErrorChecksum);

        const std::int32_t count = pair_value(fields.data());
        const std::int32_t address = quad_value(fields.data() + 2);
        const std::int32_t type = pair_value(fields.data() + 6);
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
        if (data.size() != 4 || address != 0) return fail(kErrorType04);
        const std::int32_t value = quad_value(data.data());
        if (value < 0) return fail(kErrorType04);
        upper_ = value;
        return RecordStep::Next;
    }

    RecordStep segment_record(std::int32_t address, std::string_view data) {
        if (data.size() != 4 || data.back() != '0' || address != 0) return fail(kErrorType02);
        const std::int32_t value = quad_value(data.data());
        if (value < 0) return fail(kErrorType02);
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
            if (!place_byte(base + j, data.data() + 2 * j)) return fail(kErrorDataByte);
        }
        return RecordStep::Next;
    }

    // Puts one data byte where the address map says; false when a byte that has a place is not
    // two hex digits. Bytes without a place are listed, never checked.
    bool place_byte(std::int64_t address, const char* digits) {
        if (address >= 0 && address < static_cast<std::int64_t>(image_.flash.size())) {
            const std::int32_t value = pair_value(digits);
            if (value < 0) return false;
            image_.flash[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
            if (address >= image_.loaded_flash_end)
                image_.loaded_flash_end = static_cast<std::int32_t>(address + 1);
            return true;
        }
        if ((address >= kIdLocationsFirst && address <= kIdLocationsLast) ||
            (address >= kDeviceIdFirst && address <= kDeviceIdLast)) {
            return pair_value(digits) >= 0;
        }
        if (address >= kConfigBaseAddress && address < kConfigBaseAddress + kConfigByteCount) {
            const std::int32_t value = pair_value(digits);
            if (value < 0) return false;
            image_.config(static_cast<int>(address - kConfigBaseAddress) + 1) = value;
            return true;
        }
        const std::int64_t eeprom_index = address - kEepromBaseAddress;
        if (eeprom_index >= 0 && eeprom_index < static_cast<std::int64_t>(image_.eeprom.size())) {
            const std::int32_t value = pair_value(digits);
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
    HexLineSplitter splitter(text);
    int line_number = 0;
    for (std::string_view next_line; splitter.next(next_line);) {
        ++line_number;
        const std::string_view line = trim_trailing_spaces(next_line);
        if (line.empty() || line[0] == ';') continue;
        const RecordStep step = reader.examine(line);
        if (step == RecordStep::EndOfFile) break;
        if (step == RecordStep::Error) {
            HexReadResult result;
            result.outcome = HexReadOutcome::Rejected;
            result.line = line_number;
            result.error = reader.error();
            result.out_of_range_count = reader.out_of_range().count();
            result.message = record_error_message(result.line, result.error);
            result.message_kind = MessageKind::Error;
            return result;
        }
    }
    HexReadResult result;
    const OutOfRangeList& out_of_range = reader.out_of_range();
    if (!out_of_range.empty()) {
        result.outcome = HexReadOutcome::AcceptedOutOfRange;
        result.out_of_range_count = out_of_range.count();
        result.message = out_of_range_message(out_of_range.count(), out_of_range.text());
        result.message_kind = MessageKind::Info;
    }
    return result;
}

HexReadResult read_hex_file(const std::string& path, MemoryImage& image) {
    const Result<std::string> file = read_file_text(path);
    if (!file.ok()) {
        HexReadResult result;
        result.outcome = HexReadOutcome::Unreadable;
        result.message = "The HEX file " + path + " could not be read: " + file.error().message + ".";
        result.message_kind = MessageKind::Error;
        return result;
    }
    return read_hex_text(*file, image);
}

}  // namespace quillon

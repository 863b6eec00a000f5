#include "hexfile/hex_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "hexfile/address_map.h"

namespace quillon {

namespace {

constexpr std::size_t kRecordBytes = 16;
constexpr std::int64_t kSegmentSize = 0x10000;
// ":" count(2) address(4) type(2) data checksum(2) CR LF
constexpr std::size_t kRecordOverhead = 1 + 2 + 4 + 2 + 2 + 2;

constexpr char kUpperDigits[] = "0123456789ABCDEF";

char* put_hex2(char* at, unsigned value) {
    at[0] = kUpperDigits[(value >> 4) & 0xF];
    at[1] = kUpperDigits[value & 0xF];
    return at + 2;
}

// Appends one record; the checksum is the two's complement of the sum of every byte before it.
// The line is sized once and filled in place: this runs for every 16 bytes of an image.
void append_record(std::string& out, std::size_t count, std::int64_t address, std::uint8_t type,
                   const std::uint8_t* data) {
    const auto high = static_cast<unsigned>((address >> 8) & 0xFF);
    const auto low = static_cast<unsigned>(address & 0xFF);
    unsigned sum = static_cast<unsigned>(count) + high + low + type;
    const std::size_t start = out.size();
    out.resize(start + kRecordOverhead + 2 * count);
    char* at = out.data() + start;
    *at++ = ':';
    at = put_hex2(at, static_cast<unsigned>(count));
    at = put_hex2(at, high);
    at = put_hex2(at, low);
    at = put_hex2(at, type);
    for (std::size_t i = 0; i < count; ++i) {
        at = put_hex2(at, data[i]);
        sum += data[i];
    }
    at = put_hex2(at, 0u - sum);
    at[0] = '\r';
    at[1] = '\n';
}

void append_linear_address(std::string& out, std::int64_t address) {
    const auto segment = address / kSegmentSize;
    const std::array<std::uint8_t, 2> value{static_cast<std::uint8_t>((segment >> 8) & 0xFF),
                                            static_cast<std::uint8_t>(segment & 0xFF)};
    append_record(out, value.size(), 0, 0x04, value.data());
}

// Writes bytes 0 .. length - 1 of a buffer as 16-byte records from `base`, each 64 KB segment
// announced by its extended linear address record.
void append_block(std::string& out, const std::vector<std::uint8_t>& bytes, std::size_t length,
                  std::int64_t base) {
    for (std::size_t offset = 0; offset < length; offset += kRecordBytes) {
        const std::int64_t address = base + static_cast<std::int64_t>(offset);
        if (address % kSegmentSize == 0) append_linear_address(out, address);
        append_record(out, std::min(kRecordBytes, length - offset), address % kSegmentSize, 0x00,
                      bytes.data() + offset);
    }
}

std::size_t block_text_size(std::size_t length) {
    const std::size_t records = (length + kRecordBytes - 1) / kRecordBytes;
    const std::size_t segments = (length + kSegmentSize - 1) / kSegmentSize;
    return length * 2 + (records + segments) * kRecordOverhead + segments * 4;
}

}  // namespace

std::size_t block_length(const std::vector<std::uint8_t>& bytes) {
    const auto last_used =
        std::find_if(bytes.rbegin(), bytes.rend(), [](std::uint8_t b) { return b != kErasedByte; });
    if (last_used == bytes.rend()) return 0;
    const auto length = static_cast<std::size_t>(bytes.rend() - last_used);
    // An odd length ends on an even address: finish that word when the buffer has its other byte.
    return std::min(length + length % 2, bytes.size());
}

std::string write_hex_text(const MemoryImage& image) {
    const std::size_t flash_length = block_length(image.flash);
    const std::size_t eeprom_length = block_length(image.eeprom);

    std::string out;
    out.reserve(block_text_size(flash_length) + block_text_size(eeprom_length) + 4 * 64);
    append_block(out, image.flash, flash_length, 0);

    std::array<std::uint8_t, kConfigByteCount> config{};
    for (int k = 1; k <= kConfigByteCount; ++k)
        config[static_cast<std::size_t>(k - 1)] = static_cast<std::uint8_t>(image.config(k) & 0xFF);
    append_linear_address(out, kConfigBaseAddress);
    append_record(out, config.size(), kConfigBaseAddress % kSegmentSize, 0x00, config.data());

    append_block(out, image.eeprom, eeprom_length, kEepromBaseAddress);
    append_record(out, 0, 0, 0x01, nullptr);
    return out;
}

}  // namespace quillon

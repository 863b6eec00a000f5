#include "backends/sim/chip_hex.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>
#include <sstream>
#include <vector>

#include "base/ascii.h"
#include "base/hex_text.h"

namespace quillon {

namespace {

constexpr std::size_t kRowBytes = 16;

void append_record(std::string& out, int type, std::uint32_t offset, std::span<const std::uint8_t> data) {
    std::string body;
    append_hex2(body, static_cast<std::int32_t>(data.size()));
    body += hex4(static_cast<std::int32_t>(offset & 0xFFFF));
    append_hex2(body, type);
    for (std::uint8_t byte : data)
        append_hex2(body, byte);
    out += ':' + body + hex_checksum(body) + "\r\n";
}

void append_block(std::string& out, std::uint32_t base, std::span<const std::uint8_t> bytes, bool skip_erased,
                  std::uint32_t& upper) {
    for (std::size_t start = 0; start < bytes.size(); start += kRowBytes) {
        const auto row = bytes.subspan(start, std::min(kRowBytes, bytes.size() - start));
        if (skip_erased && std::all_of(row.begin(), row.end(), [](std::uint8_t b) { return b == 0xFF; }))
            continue;
        const auto address = static_cast<std::uint32_t>(base + start);
        if (address >> 16 != upper) {
            upper = address >> 16;
            const std::uint8_t upper_bytes[] = {static_cast<std::uint8_t>(upper >> 8),
                                                static_cast<std::uint8_t>(upper)};
            append_record(out, 4, 0, upper_bytes);
        }
        append_record(out, 0, address, row);
    }
}

// Where a HEX address lands in the chip, or nothing.
std::uint8_t* chip_byte(ChipMemory& memory, std::uint32_t address) {
    if (address < memory.flash.size()) return &memory.flash[address];
    if (address >= kIdAddress && address < kIdAddress + kIdSize) return &memory.id[address - kIdAddress];
    if (address >= kConfigAddress && address < kConfigAddress + kConfigByteCount)
        return &memory.config[address - kConfigAddress];
    if (address >= kHexEepromAddress && address - kHexEepromAddress < memory.eeprom.size())
        return &memory.eeprom[address - kHexEepromAddress];
    return nullptr;
}

Failure<Error> line_failure(std::size_t line, const std::string& text) {
    return failure(Error{"line " + std::to_string(line) + ": " + text});
}

}  // namespace

std::string chip_memory_to_hex(const ChipMemory& memory) {
    std::string out;
    std::uint32_t upper = 0;
    append_block(out, 0, memory.flash, true, upper);
    append_block(out, kIdAddress, memory.id, false, upper);
    append_block(out, kConfigAddress, memory.config, false, upper);
    append_block(out, kHexEepromAddress, memory.eeprom, true, upper);
    append_record(out, 1, 0, {});
    return out;
}

Result<> chip_memory_from_hex(std::string_view text, const ChipModel& model, ChipMemory& memory) {
    ChipMemory loaded = erased_memory(model);
    std::uint32_t base = 0;
    std::size_t line_number = 0;
    std::size_t line_start = 0;
    while (line_start < text.size()) {
        std::size_t line_end = text.find('\n', line_start);
        if (line_end == std::string_view::npos) line_end = text.size();
        std::string_view line = text.substr(line_start, line_end - line_start);
        line_start = line_end + 1;
        ++line_number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (line.empty()) continue;
        if (line.front() != ':') return line_failure(line_number, "a record must begin with ':'");
        const std::string digits = ascii_upper(line.substr(1));
        if (digits.size() < 10 || digits.size() % 2 != 0)
            return line_failure(line_number,
                                "a record needs an even number of at least 10 hexadecimal digits");
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            const std::int32_t value = parse_hex2(std::string_view(digits).substr(i, 2));
            if (value < 0)
                return line_failure(line_number, "'" + digits.substr(i, 2) + "' is not a hexadecimal byte");
            bytes.push_back(static_cast<std::uint8_t>(value));
        }
        const std::size_t count = bytes[0];
        if (bytes.size() != count + 5)
            return line_failure(line_number, "the record says " + std::to_string(count) +
                                                 " data bytes but holds " + std::to_string(bytes.size() - 5));
        unsigned sum = 0;
        for (std::uint8_t b : bytes)
            sum += b;
        if ((sum & 0xFF) != 0) return line_failure(line_number, "checksum does not match");
        const std::uint32_t offset = static_cast<std::uint32_t>(bytes[1] << 8 | bytes[2]);
        const int type = bytes[3];
        const std::span<const std::uint8_t> data(bytes.data() + 4, count);
        if (type == 1) {
            memory = std::move(loaded);
            return {};
        }
        if (type == 2 || type == 4) {
            if (count != 2) return line_failure(line_number, "an address record needs 2 data bytes");
            const std::uint32_t value = static_cast<std::uint32_t>(data[0] << 8 | data[1]);
            base = type == 4 ? value << 16 : value << 4;
        } else if (type == 0) {
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint32_t address = base + offset + static_cast<std::uint32_t>(i);
                std::uint8_t* target = chip_byte(loaded, address);
                if (target == nullptr)
                    return line_failure(line_number, "address " + hex6(static_cast<std::int32_t>(address)) +
                                                         "h is outside " + model.name + "'s memories");
                *target = data[i];
            }
        } else if (type != 3 && type != 5) {  // start addresses mean nothing to a chip image
            return line_failure(line_number, "unknown record type " + hex2(type));
        }
    }
    return failure(Error{"the file has no end-of-file record"});
}

Result<> save_chip_file(const std::string& path, const ChipMemory& memory) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << chip_memory_to_hex(memory);
        out.flush();
        if (!out) return failure(Error{path + ": cannot write the chip file"});
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return failure(Error{path + ": cannot replace the chip file"});
    }
    return {};
}

Result<> load_chip_file(const std::string& path, const ChipModel& model, ChipMemory& memory) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure(Error{path + ": cannot open the chip file"});
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return failure(Error{path + ": cannot read the chip file"});
    Result<> loaded = chip_memory_from_hex(text.str(), model, memory);
    if (!loaded.ok()) return failure(Error{path + ": " + loaded.error().message});
    return loaded;
}

}  // namespace quillon

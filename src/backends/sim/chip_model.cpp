#include "backends/sim/chip_model.h"

#include <algorithm>

namespace quillon {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// P10 for family B is given as 100 us by most sources and 200 us by one; 100 us is the data
// sheet's own figure for these parts.
constexpr ChipTiming kTimingAC{milliseconds(1), microseconds(5), milliseconds(10), milliseconds(4)};
constexpr ChipTiming kTimingB{milliseconds(1), microseconds(100), milliseconds(5), milliseconds(4)};

// Configuration bytes no part of a family implements: CONFIG1L (bit 0), CONFIG3L (bit 4) and
// CONFIG4H (bit 7). The USB parts of family B do use CONFIG1L (PLL and clock dividers). These
// are the only bytes that read 00 whatever is written; the simulator does not mask single bits,
// every existing byte stores all 8 bits written.
constexpr std::uint16_t kMissingCommon = (1u << 0) | (1u << 4) | (1u << 7);
constexpr std::uint16_t kMissingUsb = (1u << 4) | (1u << 7);

// Blank configuration values (CONFIG1L..CONFIG7H).
constexpr ChipConfig kBlank252{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                               0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBlank242{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                               0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBlank248{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x00, 0x85,
                               0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBlank258{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x00, 0x85,
                               0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBlankUsb{0x00, 0x05, 0x1F, 0x1F, 0x00, 0x83, 0x85,
                               0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBlank2520{0x00, 0x07, 0x1F, 0x1F, 0x00, 0x83, 0x85,
                                0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBlank2420{0x00, 0x07, 0x1F, 0x1F, 0x00, 0x83, 0x85,
                                0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBlank1220{0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x80, 0x85,
                                0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBlank2220{0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x83, 0x85,
                                0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};

struct ModelRow {
    const char* name;
    ChipFamily family;
    std::int32_t flash_size;
    std::uint16_t device_id;
    const ChipConfig& blank;
    std::uint16_t missing;
};

constexpr ChipFamily A = ChipFamily::A;
constexpr ChipFamily B = ChipFamily::B;
constexpr ChipFamily C = ChipFamily::C;

// Every part has 256 bytes of data EEPROM.
constexpr std::int32_t kEepromSize = 256;

const ModelRow kModels[] = {
    {"PIC18F242", A, 0x4000, 0x0480, kBlank242, kMissingCommon},
    {"PIC18F252", A, 0x8000, 0x0400, kBlank252, kMissingCommon},
    {"PIC18F442", A, 0x4000, 0x04A0, kBlank242, kMissingCommon},
    {"PIC18F452", A, 0x8000, 0x0420, kBlank252, kMissingCommon},
    {"PIC18F248", A, 0x4000, 0x0800, kBlank248, kMissingCommon},
    {"PIC18F258", A, 0x8000, 0x0840, kBlank258, kMissingCommon},
    {"PIC18F448", A, 0x4000, 0x0820, kBlank248, kMissingCommon},
    {"PIC18F458", A, 0x8000, 0x0860, kBlank258, kMissingCommon},
    {"PIC18F2455", B, 0x6000, 0x1260, kBlankUsb, kMissingUsb},
    {"PIC18F2550", B, 0x8000, 0x1240, kBlankUsb, kMissingUsb},
    {"PIC18F4455", B, 0x6000, 0x1220, kBlankUsb, kMissingUsb},
    {"PIC18F4550", B, 0x8000, 0x1200, kBlankUsb, kMissingUsb},
    {"PIC18F2420", B, 0x4000, 0x1140, kBlank2420, kMissingCommon},
    {"PIC18F2520", B, 0x8000, 0x1100, kBlank2520, kMissingCommon},
    {"PIC18F4420", B, 0x4000, 0x10C0, kBlank2420, kMissingCommon},
    {"PIC18F4520", B, 0x8000, 0x1080, kBlank2520, kMissingCommon},
    {"PIC18F1220", C, 0x1000, 0x07E0, kBlank1220, kMissingCommon},
    {"PIC18F1320", C, 0x2000, 0x07C0, kBlank1220, kMissingCommon},
    {"PIC18F2220", C, 0x1000, 0x0580, kBlank2220, kMissingCommon},
    {"PIC18F2320", C, 0x2000, 0x0500, kBlank2220, kMissingCommon},
    {"PIC18F4220", C, 0x1000, 0x05A0, kBlank2220, kMissingCommon},
    {"PIC18F4320", C, 0x2000, 0x0520, kBlank2220, kMissingCommon},
};

ChipModel make_model(const ModelRow& row) {
    ChipModel model;
    model.name = row.name;
    model.family = row.family;
    model.flash_size = row.flash_size;
    model.eeprom_size = kEepromSize;
    model.device_id = row.device_id;
    model.blank_config = row.blank;
    model.write_buffer_size = row.family == ChipFamily::B ? 32 : 8;
    model.missing_config = row.missing;
    model.timing = row.family == ChipFamily::B ? kTimingB : kTimingAC;
    return model;
}

}  // namespace

const char* family_name(ChipFamily family) {
    switch (family) {
        case ChipFamily::A:
            return "A";
        case ChipFamily::B:
            return "B";
        case ChipFamily::C:
            return "C";
    }
    return "?";
}

std::optional<ChipModel> find_chip_model(std::string_view name) {
    const auto* row = std::find_if(std::begin(kModels), std::end(kModels),
                                   [name](const ModelRow& r) { return name == r.name; });
    if (row == std::end(kModels)) return std::nullopt;
    return make_model(*row);
}

std::vector<std::string> chip_model_names() {
    std::vector<std::string> names;
    for (const ModelRow& row : kModels)
        names.emplace_back(row.name);
    return names;
}

}  // namespace quillon

#include "backends/sim/chip_model.h"

#include <algorithm>

namespace quillon {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// P9 is 1 ms for code and ID cells in every source; for configuration cells sources give 1 ms or
// 5 ms, and the chip asks the longer. P10 for family B is given as 100 us by most sources and
// 200 us by one; 100 us is the data sheet's own figure for these parts.
constexpr ChipTiming kTimingAC{milliseconds(1), milliseconds(5), microseconds(5), milliseconds(10),
                               milliseconds(4)};
constexpr ChipTiming kTimingB{milliseconds(1), milliseconds(5), microseconds(100), milliseconds(5),
                              milliseconds(4)};

// Blank configuration values (CONFIG1L..CONFIG7H) as one peer's device data gives them; a chip
// keeps only the bits it implements, so a bulk erase leaves these under config_bits.
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

// Implemented bits of each configuration byte: every bit that some setting of the part's device
// header (gputils' p18f*.inc) clears. CONFIG5L to CONFIG7L carry one CP, WRT or EBTR bit per
// code block; CONFIG5H, 6H and 7H the boot block, data EEPROM and configuration bits.
constexpr ChipConfig kBits452{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                              0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBits442{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                              0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBits448{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x00, 0x85,
                              0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBits458{0x00, 0x27, 0x0F, 0x0F, 0x00, 0x00, 0x85,
                              0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBits2455{0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xC5,
                               0x00, 0x07, 0xC0, 0x07, 0xE0, 0x07, 0x40};
constexpr ChipConfig kBits2550{0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xC5,
                               0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBits4455{0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xE5,
                               0x00, 0x07, 0xC0, 0x07, 0xE0, 0x07, 0x40};
constexpr ChipConfig kBits4550{0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xE5,
                               0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBits2420{0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x87, 0xC5,
                               0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBits2520{0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x87, 0xC5,
                               0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr ChipConfig kBits1220{0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x80, 0x85,
                               0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBits2220{0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x83, 0x85,
                               0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
constexpr ChipConfig kBits2320{0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x83, 0x85,
                               0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};

struct ModelRow {
    const char* name;
    ChipFamily family;
    std::int32_t flash_size;
    std::uint16_t device_id;
    const ChipConfig& blank;
    const ChipConfig& bits;
    std::uint32_t boot_block_size;
    std::uint32_t block_size;
};

constexpr ChipFamily A = ChipFamily::A;
constexpr ChipFamily B = ChipFamily::B;
constexpr ChipFamily C = ChipFamily::C;

// Every part has 256 bytes of data EEPROM.
constexpr std::int32_t kEepromSize = 256;
// The revision every virtual chip reports: not 0, so that a reader which forgets to mask the
// revision bits off 3FFFFE finds out here.
constexpr std::uint8_t kRevision = 0x04;

// Block boundaries as the device headers name them ("Block 0 (000200-001FFFh)").
const ModelRow kModels[] = {
    {"PIC18F242", A, 0x4000, 0x0480, kBlank242, kBits442, 0x200, 0x2000},
    {"PIC18F252", A, 0x8000, 0x0400, kBlank252, kBits452, 0x200, 0x2000},
    {"PIC18F442", A, 0x4000, 0x04A0, kBlank242, kBits442, 0x200, 0x2000},
    {"PIC18F452", A, 0x8000, 0x0420, kBlank252, kBits452, 0x200, 0x2000},
    {"PIC18F248", A, 0x4000, 0x0800, kBlank248, kBits448, 0x200, 0x2000},
    {"PIC18F258", A, 0x8000, 0x0840, kBlank258, kBits458, 0x200, 0x2000},
    {"PIC18F448", A, 0x4000, 0x0820, kBlank248, kBits448, 0x200, 0x2000},
    {"PIC18F458", A, 0x8000, 0x0860, kBlank258, kBits458, 0x200, 0x2000},
    {"PIC18F2455", B, 0x6000, 0x1260, kBlankUsb, kBits2455, 0x800, 0x2000},
    {"PIC18F2550", B, 0x8000, 0x1240, kBlankUsb, kBits2550, 0x800, 0x2000},
    {"PIC18F4455", B, 0x6000, 0x1220, kBlankUsb, kBits4455, 0x800, 0x2000},
    {"PIC18F4550", B, 0x8000, 0x1200, kBlankUsb, kBits4550, 0x800, 0x2000},
    {"PIC18F2420", B, 0x4000, 0x1140, kBlank2420, kBits2420, 0x800, 0x2000},
    {"PIC18F2520", B, 0x8000, 0x1100, kBlank2520, kBits2520, 0x800, 0x2000},
    {"PIC18F4420", B, 0x4000, 0x10C0, kBlank2420, kBits2420, 0x800, 0x2000},
    {"PIC18F4520", B, 0x8000, 0x1080, kBlank2520, kBits2520, 0x800, 0x2000},
    {"PIC18F1220", C, 0x1000, 0x07E0, kBlank1220, kBits1220, 0x200, 0x800},
    {"PIC18F1320", C, 0x2000, 0x07C0, kBlank1220, kBits1220, 0x200, 0x1000},
    {"PIC18F2220", C, 0x1000, 0x0580, kBlank2220, kBits2220, 0x200, 0x800},
    {"PIC18F2320", C, 0x2000, 0x0500, kBlank2220, kBits2320, 0x200, 0x800},
    {"PIC18F4220", C, 0x1000, 0x05A0, kBlank2220, kBits2220, 0x200, 0x800},
    {"PIC18F4320", C, 0x2000, 0x0520, kBlank2220, kBits2320, 0x200, 0x800},
};

ChipModel make_model(const ModelRow& row) {
    ChipModel model;
    model.name = row.name;
    model.family = row.family;
    model.flash_size = row.flash_size;
    model.eeprom_size = kEepromSize;
    model.device_id = row.device_id;
    model.revision = kRevision;
    model.blank_config = row.blank;
    model.config_bits = row.bits;
    model.write_buffer_size = row.family == ChipFamily::B ? 32 : 8;
    model.boot_block_size = row.boot_block_size;
    model.block_size = row.block_size;
    model.timing = row.family == ChipFamily::B ? kTimingB : kTimingAC;
    return model;
}

}  // namespace

std::optional<CodeBlock> ChipModel::code_block(std::uint32_t address) const {
    if (block_size == 0 || address >= static_cast<std::uint32_t>(std::max(flash_size, 0)))
        return std::nullopt;
    if (address < boot_block_size) return CodeBlock{-1, 0, boot_block_size};
    const auto number = static_cast<int>(address / block_size);
    const std::uint32_t begin = std::max(boot_block_size, static_cast<std::uint32_t>(number) * block_size);
    return CodeBlock{number, begin, (static_cast<std::uint32_t>(number) + 1) * block_size};
}

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

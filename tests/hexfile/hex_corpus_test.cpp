// Real HEX files from PIC18 toolchains and read-back tools, plus odd vectors from other readers.
// Expectations come from an independent reading of each file's address ranges.
#include <gtest/gtest.h>

#include "hex_test_support.h"
#include "hexfile/file_io.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"

namespace quillon {
namespace {

struct CorpusFile {
    const char* name;
    std::size_t flash_size;  // of the chip it was made for (32 KB where that chip is no PIC18)
    std::size_t eeprom_size;
    HexReadOutcome outcome;
    std::int32_t loaded_flash_end = 0;
    std::int64_t out_of_range = 0;
    int line = 0;
    const char* error = "";
};

constexpr auto kAccepted = HexReadOutcome::Accepted;
constexpr auto kOutOfRange = HexReadOutcome::AcceptedOutOfRange;
constexpr auto kRejected = HexReadOutcome::Rejected;

const CorpusFile kCorpus[] = {
    {"avr_attiny13a_type02_segment.hex", 32768, 256, kAccepted, 0x6E},
    {"c18_pic18f2550_hid_monitor_crlf.hex", 32768, 256, kAccepted, 0x218C},
    {"ccs_pic18f14k22_pzpower_eeprom.hex", 16384, 256, kAccepted, 0xDFA},
    {"ccs_pic18f452_volt_freq_phase.hex", 32768, 256, kAccepted, 0x868},
    // Q-series EEPROM at 0x380000 has no place in this map.
    {"gcbasic_pic18f16q20_eeprom_380000.hex", 65536, 256, kOutOfRange, 0x448, 12},
    {"mikroc_pic18f4520_hlvd_eeprom_blankline.hex", 32768, 256, kAccepted, 0x3BA},
    {"mikroc_pic18f452_lcd_p6d.hex", 32768, 256, kAccepted, 0xDFA},
    {"mpasm_mplink_pic18f2550_hid_bootloader_crlf.hex", 32768, 256, kAccepted, 0x804},
    {"mpasm_pic18f4550_lcd_adc_absolute.hex", 32768, 256, kAccepted, 0x1008},
    {"pic32mx_blink_type05_crlf.hex", 32768, 256, kOutOfRange, 0, 600},
    {"readback_pic18f4550_full_image.hex", 32768, 256, kAccepted, 0x8000},
    {"readback_pic18f87k90_full_image_crlf.hex", 131072, 1024, kAccepted, 0x20000},
    {"sdcc_pic18f452_sdcc1.hex", 32768, 256, kAccepted, 0x22A},
    {"sdcc_pic18f47j53_pinguino_bootloader.hex", 131072, 0, kAccepted, 0x20000},
    {"vec_ancient_eof_record.hex", 32768, 256, kAccepted, 0x1800},
    {"vec_bad_checksum_crlf.hex", 32768, 256, kRejected, 0, 0, 4, kErrorChecksum},
    {"vec_blank_lines.hex", 32768, 256, kAccepted, 0x140},
    {"vec_garbage_line_no_eof.hex", 32768, 256, kRejected, 0, 0, 1, kErrorNoColon},
    {"xc32_pic32mx250_bootloader_lowercase.hex", 32768, 256, kRejected, 0, 0, 1, kErrorChecksum},
    {"xc8_pic18f2550_hid_bootloader_crlf.hex", 32768, 256, kAccepted, 0x1008},
    {"xc8_pic18f47j53_usb_msd_bootloader.hex", 131072, 0, kAccepted, 0x20000},
    // The Q-series ID block is 64 bytes: 56 of them lie past the 8 ID locations.
    {"xc8_pic18f57q43_code_above_64k_crlf.hex", 131072, 1024, kOutOfRange, 0x20000, 56},
    {"xc8v145_pic18f4550_idloc_topflash.hex", 32768, 256, kAccepted, 0x8000},
};

class HexCorpus : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = hex_corpus_dir();
        if (dir_.empty()) GTEST_SKIP() << "the HEX corpus folder is not here";
    }

    std::string text_of(const char* name) const {
        const Result<std::string> file = read_file_text((dir_ / name).string());
        if (!file.ok()) {
            ADD_FAILURE() << name << ": " << file.error().message;
            return {};
        }
        return *file;
    }

    std::filesystem::path dir_;
};

TEST_F(HexCorpus, EveryFileFaresAsItsContentsSay) {
    for (const CorpusFile& file : kCorpus) {
        MemoryImage image = erased_image(file.flash_size, file.eeprom_size);
        const HexReadResult result = read_hex_text(text_of(file.name), image);
        EXPECT_EQ(result.outcome, file.outcome) << file.name << ": " << result.message;
        EXPECT_EQ(result.out_of_range_count, file.out_of_range) << file.name;
        if (file.outcome == kRejected) {
            EXPECT_EQ(result.line, file.line) << file.name;
            EXPECT_EQ(result.error, file.error) << file.name;
        } else {
            EXPECT_EQ(image.loaded_flash_end, file.loaded_flash_end) << file.name;
        }
    }
}

TEST_F(HexCorpus, AcceptedFilesSaveAndLoadAgainUnchanged) {
    for (const CorpusFile& file : kCorpus) {
        if (file.outcome == kRejected) continue;
        MemoryImage image = erased_image(file.flash_size, file.eeprom_size);
        read_hex_text(text_of(file.name), image);
        MemoryImage again = erased_image(file.flash_size, file.eeprom_size);
        const HexReadResult result = read_hex_text(write_hex_text(image), again);
        EXPECT_EQ(result.outcome, kAccepted) << file.name;
        EXPECT_EQ(again.flash, image.flash) << file.name;
        EXPECT_EQ(again.eeprom, image.eeprom) << file.name;
        EXPECT_EQ(again.config, image.config) << file.name;
    }
}

TEST_F(HexCorpus, ConfigurationAndEepromLandWhereTheFileSays) {
    MemoryImage image = erased_image(16384, 256);
    read_hex_text(text_of("ccs_pic18f14k22_pzpower_eeprom.hex"), image);
    // The file writes its EEPROM block before its configuration block.
    EXPECT_NE(image.eeprom[0], kErasedByte);
    EXPECT_EQ(image.eeprom[4], kErasedByte);

    // mikroC gives 13 configuration bytes from 0x300001: CONFIG1L keeps its erased value.
    MemoryImage mikroc = erased_image(32768, 256);
    read_hex_text(text_of("mikroc_pic18f452_lcd_p6d.hex"), mikroc);
    EXPECT_EQ(mikroc.config(1), 0xF1);
    EXPECT_NE(mikroc.config(2), 0xF2);
}

}  // namespace
}  // namespace quillon

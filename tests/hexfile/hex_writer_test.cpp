#include "hexfile/hex_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "hex_test_support.h"
#include "hexfile/hex_reader.h"

namespace quillon {
namespace {

MemoryImage plain_image(std::size_t flash_size, std::size_t eeprom_size) {
    MemoryImage image = erased_image(flash_size, eeprom_size);
    for (int k = 1; k <= kConfigByteCount; ++k)
        image.config(k) = 0xFF;
    return image;
}

TEST(HexWriter, WritesTheWorkedExampleByteForByte) {
    MemoryImage image = plain_image(32768, 256);
    image.flash[0] = 0x12;
    image.flash[1] = 0x34;
    EXPECT_EQ(write_hex_text(image),
              ":020000040000FA\r\n"
              ":020000001234B8\r\n"
              ":020000040030CA\r\n"
              ":0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"
              ":00000001FF\r\n");
}

TEST(HexWriter, AnErasedImageGivesOnlyTheConfigurationAndTheEnd) {
    EXPECT_EQ(write_hex_text(plain_image(32768, 256)),
              ":020000040030CA\r\n:0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n");
    EXPECT_EQ(write_hex_text(plain_image(0, 0)),
              ":020000040030CA\r\n:0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n");
}

TEST(HexWriter, BlocksEndOnWholeWordsButNeverPastTheBuffer) {
    std::vector<std::uint8_t> bytes(8, kErasedByte);
    EXPECT_EQ(block_length(bytes), 0u);
    bytes[4] = 0x00;
    EXPECT_EQ(block_length(bytes), 6u);
    bytes[5] = 0x01;
    EXPECT_EQ(block_length(bytes), 6u);
    std::vector<std::uint8_t> odd_sized(5, kErasedByte);
    odd_sized[4] = 0x00;
    EXPECT_EQ(block_length(odd_sized), 5u);

    MemoryImage image = plain_image(32768, 0);
    image.flash[2] = 0x00;
    EXPECT_EQ(write_hex_text(image).substr(0, 38), ":020000040000FA\r\n:04000000FFFF00FFFF\r\n");
}

TEST(HexWriter, SeventeenBytesGiveAFullRecordAndOneOfTwo) {
    MemoryImage image = plain_image(32768, 0);
    for (std::size_t a = 0; a <= 16; ++a)
        image.flash[a] = static_cast<std::uint8_t>(a);
    const std::string text = write_hex_text(image);
    EXPECT_EQ(text.substr(0, 79),
              ":020000040000FA\r\n"
              ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
              ":0200100010FFDF\r\n");
}

TEST(HexWriter, EverySegmentOfFlashGetsItsExtendedAddress) {
    MemoryImage image = plain_image(0x20000, 0);
    image.flash[0x10000] = 0x5A;
    const std::string text = write_hex_text(image);
    // 4096 full records of 45 characters fill the first segment.
    const std::size_t second = 17 + 0x1000 * 45;
    EXPECT_EQ(text.find(":020000040000FA\r\n"), 0u);
    EXPECT_EQ(text.find(":020000040001F9\r\n"), second);
    EXPECT_EQ(text.substr(second + 17, 17), ":020000005AFFA5\r\n");
}

TEST(HexWriter, ConfigurationBytesAreWrittenByTheirLow8Bits) {
    MemoryImage image = plain_image(16, 0);
    image.config(1) = 0x1FF;
    image.config(2) = -1;
    image.config(3) = 256;
    image.config(14) = 0x12;
    EXPECT_EQ(write_hex_text(image),
              ":020000040030CA\r\n:0E000000FFFF00FFFFFFFFFFFFFFFFFFFF12EC\r\n:00000001FF\r\n");
}

TEST(HexWriter, EepromFollowsTheConfigurationFromAddress0000UnderSegment00F0) {
    MemoryImage image = plain_image(32768, 256);
    image.eeprom[0x11] = 0x00;
    EXPECT_EQ(write_hex_text(image),
              ":020000040030CA\r\n"
              ":0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"
              ":0200000400F00A\r\n"
              ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"
              ":02001000FF00EF\r\n"
              ":00000001FF\r\n");
}

TEST(HexWriter, SavingAndLoadingReproducesRandomImages) {
    std::mt19937 random(20240501);
    struct Size {
        std::size_t flash, eeprom;
    };
    for (const Size size : {Size{0, 0}, Size{1, 1}, Size{17, 0}, Size{32768, 256}, Size{0x20000, 1024}}) {
        for (int round = 0; round < 3; ++round) {
            MemoryImage image = erased_image(size.flash, size.eeprom);
            // Sparse, dense and full images, with erased bytes among the data.
            const unsigned every = round == 0 ? 97 : round == 1 ? 3 : 1;
            for (auto* buffer : {&image.flash, &image.eeprom}) {
                for (std::size_t a = 0; a < buffer->size(); ++a) {
                    if (random() % every == 0) (*buffer)[a] = static_cast<std::uint8_t>(random());
                }
            }
            for (int k = 1; k <= kConfigByteCount; ++k)
                image.config(k) = static_cast<std::int32_t>(random() % 256);

            MemoryImage loaded = erased_image(size.flash, size.eeprom);
            const HexReadResult result = read_hex_text(write_hex_text(image), loaded);
            ASSERT_EQ(result.outcome, HexReadOutcome::Accepted) << result.message;
            EXPECT_EQ(loaded.flash, image.flash) << size.flash << " round " << round;
            EXPECT_EQ(loaded.eeprom, image.eeprom);
            EXPECT_EQ(loaded.config, image.config);
            EXPECT_EQ(static_cast<std::size_t>(loaded.loaded_flash_end), block_length(image.flash));
        }
    }
}

}  // namespace
}  // namespace quillon

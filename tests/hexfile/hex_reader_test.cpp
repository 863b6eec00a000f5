#include "hexfile/hex_reader.h"

#include <gtest/gtest.h>

#include <random>

#include "base/host.h"
#include "hex_test_support.h"

namespace quillon {
namespace {

constexpr const char* kEof = ":00000001FF";

std::string file_of(std::initializer_list<std::string> lines, const char* line_end = "\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + line_end;
    return text;
}

TEST(HexReader, PlacesEveryRegionOfTheAddressMap) {
    MemoryImage image = erased_image(32768, 256);
    const std::string text = file_of({
        data_record(0x0000, "0102"),
        data_record(0x7FFE, "A1A2"),
        linear_record(0x0030),
        data_record(0x0000, "1112131415161718191A1B1C1D1E"),
        linear_record(0x00F0),
        data_record(0x0000, "E0"),
        data_record(0x00FF, "EF"),
        kEof,
    });
    const HexReadResult result = read_hex_text(text, image);
    ASSERT_EQ(result.outcome, HexReadOutcome::Accepted) << result.message;
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(image.flash[0], 0x01);
    EXPECT_EQ(image.flash[1], 0x02);
    EXPECT_EQ(image.flash[2], 0xFF);
    EXPECT_EQ(image.flash[0x7FFF], 0xA2);
    for (int k = 1; k <= kConfigByteCount; ++k)
        EXPECT_EQ(image.config(k), 0x10 + k) << k;
    EXPECT_EQ(image.eeprom[0], 0xE0);
    EXPECT_EQ(image.eeprom[0xFF], 0xEF);
    EXPECT_EQ(image.loaded_flash_end, 0x8000);
}

TEST(HexReader, LoadedFlashEndIsAHighWaterMarkInAnyRecordOrder) {
    MemoryImage image = erased_image(32768, 256);
    read_hex_text(file_of({data_record(0x0100, "AABB"), data_record(0x0010, "CC")}), image);
    EXPECT_EQ(image.loaded_flash_end, 0x0102);
    EXPECT_EQ(image.flash[0x10], 0xCC);
}

TEST(HexReader, OffsetsOfType02And04AddUpAndARecordRunsPastA16BitBoundary) {
    MemoryImage image = erased_image(0x20000, 0);
    const std::string text = file_of({
        record("020000020010"),  // segment 0x0010: 0x100 onwards
        data_record(0x0000, "11"),
        linear_record(0x0001),  // 0x10000 + 0x100
        data_record(0x0000, "22"),
        record("020000020000"),
        linear_record(0x0000),
        data_record(0xFFFE, "33445566"),
    });
    ASSERT_EQ(read_hex_text(text, image).outcome, HexReadOutcome::Accepted);
    EXPECT_EQ(image.flash[0x100], 0x11);
    EXPECT_EQ(image.flash[0x10100], 0x22);
    EXPECT_EQ(image.flash[0xFFFF], 0x44);
    EXPECT_EQ(image.flash[0x10000], 0x55);
    EXPECT_EQ(image.flash[0x10001], 0x66);
    EXPECT_EQ(image.loaded_flash_end, 0x10101);
}

TEST(HexReader, SkipsCommentsBlanksEmptyDataAndStartRecordsAndAcceptsAMissingEndRecord) {
    MemoryImage image = erased_image(32768, 256);
    const std::string text = file_of({
        ";made by hand",
        data_record(0x0000, "AB") + "   ",
        "",
        ";a comment between records",
        record("05000000"),          // count 5, no data: skipped unread
        record("030G0000"),          // no data: its unreadable address is never looked at
        record("04000005BFC00000"),  // start linear address
        data_record(0x0001, "CD"),
        ";and one after the data",
    });
    const HexReadResult result = read_hex_text(text, image);
    EXPECT_EQ(result.outcome, HexReadOutcome::Accepted) << result.message;
    EXPECT_EQ(image.flash[0], 0xAB);
    EXPECT_EQ(image.flash[1], 0xCD);
}

TEST(HexReader, NeverLooksPastTheEndOfFileRecord) {
    MemoryImage image = erased_image(32768, 256);
    const std::string text = file_of({data_record(0, "01"), ":00FF0F01F1", "garbage", data_record(2, "02")});
    EXPECT_EQ(read_hex_text(text, image).outcome, HexReadOutcome::Accepted);
    EXPECT_EQ(image.flash[2], 0xFF);
}

TEST(HexReader, TheEmptyFileIsAcceptedAndLoadsNothing) {
    MemoryImage image = erased_image(32768, 256);
    const HexReadResult result = read_hex_text("", image);
    EXPECT_EQ(result.outcome, HexReadOutcome::Accepted);
    EXPECT_EQ(image.loaded_flash_end, 0);
    EXPECT_TRUE(same_contents(image, erased_image(32768, 256)));
}

struct BadFile {
    const char* what;
    std::string text;
    int line;
    const char* error;
};

TEST(HexReader, RejectsTheFirstBadRecordWithItsLineAndCause) {
    const std::string good = data_record(0, "0102");
    const BadFile cases[] = {
        {"leading blank", file_of({good, " " + good}), 2, kErrorNoColon},
        {"not a record", "garbage\n", 1, kErrorNoColon},
        {"ten characters", file_of({":00000001F"}), 1, kErrorTooShort},
        {"trailing tab", file_of({":00000001FF\t"}), 1, kErrorChecksum},
        {"lower-case checksum", file_of({":0200000400f00a"}), 1, kErrorChecksum},
        {"wrong checksum", file_of({good, ":0200000001023B"}), 2, kErrorChecksum},
        {"lower-case type", file_of({record("0100000a01")}), 1, kErrorRecordType},
        {"type 03", file_of({record("0400000300003800")}), 1, kErrorRecordType},
        {"type 04 at address 1", file_of({record("020001040030")}), 1, kErrorType04},
        {"type 04 of 3 bytes", file_of({record("03000004003000")}), 1, kErrorType04},
        {"type 04 lower case", file_of({record("0200000400f0")}), 1, kErrorType04},
        {"type 02 not ending in 0", file_of({record("020000021001")}), 1, kErrorType02},
        {"type 02 at address 1", file_of({record("020001021000")}), 1, kErrorType02},
        {"type 02 of 1 byte", file_of({record("0100000210")}), 1, kErrorType02},
        {"unreadable count", file_of({record("0G00000001")}), 1, kErrorByteCount},
        {"unreadable address", file_of({record("01000G0001")}), 1, kErrorAddress},
        {"count too large", file_of({record("0300000001")}), 1, kErrorDataLength},
        {"count too small", file_of({record("00000000AB")}), 1, kErrorDataLength},
        {"odd data length", file_of({record("01000000ABC")}), 1, kErrorDataLength},
        {"lower-case FLASH byte", file_of({record("01000000ab")}), 1, kErrorDataByte},
        {"bad EEPROM byte", file_of({linear_record(0xF0), record("01000000G1")}), 2, kErrorDataByte},
        {"bad ID byte", file_of({linear_record(0x20), record("01000700G1")}), 2, kErrorDataByte},
        {"bad device ID byte", file_of({linear_record(0x3F), record("02FFFE0000G1")}), 2, kErrorDataByte},
        {"bad config byte", file_of({linear_record(0x30), record("01000D00G1")}), 2, kErrorDataByte},
    };
    for (const BadFile& c : cases) {
        MemoryImage image = erased_image(32768, 256);
        const HexReadResult result = read_hex_text(c.text, image);
        EXPECT_EQ(result.outcome, HexReadOutcome::Rejected) << c.what;
        EXPECT_EQ(result.line, c.line) << c.what;
        EXPECT_EQ(result.error, c.error) << c.what;
        EXPECT_EQ(result.message_kind, MessageKind::Error) << c.what;
    }
}

TEST(HexReader, TheErrorMessageNamesTheLineAsNumberedAfterBlankLinesFold) {
    MemoryImage image = erased_image(32768, 256);
    // Records on lines 1, 2 and (after one blank line, which does not count) 3.
    const std::string text = data_record(0, "01") + "\r\n" + data_record(1, "02") + "\r\n\r\n" + "X\r\n";
    const HexReadResult result = read_hex_text(text, image);
    EXPECT_EQ(result.message,
              "Input program file in Intel Hex Format contains errors.\r\n"
              "Line number 3: The record does not begin with ':' simbol.");
}

TEST(HexReader, StopsPlacingAtTheFirstBadByte) {
    MemoryImage image = erased_image(32768, 256);
    read_hex_text(file_of({record("0300000011G122")}), image);
    EXPECT_EQ(image.flash[0], 0x11);
    EXPECT_EQ(image.flash[2], 0xFF);
}

TEST(HexReader, IdLocationsAndDeviceIdAreCheckedThenDropped) {
    MemoryImage image = erased_image(32768, 256);
    const std::string text = file_of({linear_record(0x20), data_record(0, "0102030405060708"),
                                      linear_record(0x3F), data_record(0xFFFE, "1234")});
    const HexReadResult result = read_hex_text(text, image);
    EXPECT_EQ(result.outcome, HexReadOutcome::Accepted);
    EXPECT_TRUE(same_contents(image, erased_image(32768, 256)));
}

TEST(HexReader, DataOutsideTheMapIsListedNotCheckedAndTheFileStillLoads) {
    MemoryImage image = erased_image(32768, 256);
    const HexReadResult result =
        read_hex_text(file_of({data_record(0x8000, "0102G3"), data_record(0, "AA")}), image);
    EXPECT_EQ(result.outcome, HexReadOutcome::AcceptedOutOfRange);
    EXPECT_EQ(result.out_of_range_count, 3);
    EXPECT_EQ(result.message_kind, MessageKind::Info);
    EXPECT_EQ(result.message,
              "Warning!\r\nInput program file in Intel Hex Format contains errors.\r\n"
              "There are data for 3 addresses out of range:\r\n008000, 008001, 008002.\r\n");
    EXPECT_EQ(image.flash[0], 0xAA);
}

TEST(HexReader, RegionEndsAreExact) {
    MemoryImage image = erased_image(32768, 256);
    const std::string text = file_of({
        linear_record(0x30),
        data_record(0x0000, "0102030405060708090A0B0C0D0E0F"),           // 15 bytes: the last one is 0x30000E
        linear_record(0x20), data_record(0x0000, "000102030405060708"),  // 0x200008 is no ID location
        linear_record(0xF0), data_record(0x00FF, "EEFF"),                // 0xF00100 is past a 256-byte EEPROM
    });
    const HexReadResult result = read_hex_text(text, image);
    EXPECT_EQ(result.outcome, HexReadOutcome::AcceptedOutOfRange);
    EXPECT_NE(result.message.find("for 3 addresses out of range:\r\n30000E, 200008, F00100.\r\n"),
              std::string::npos)
        << result.message;
    EXPECT_EQ(image.config(14), 0x0E);
    EXPECT_EQ(image.eeprom[0xFF], 0xEE);

    MemoryImage no_eeprom = erased_image(32768, 0);
    const HexReadResult without =
        read_hex_text(file_of({linear_record(0xF0), data_record(0, "0102")}), no_eeprom);
    EXPECT_EQ(without.out_of_range_count, 2);
}

TEST(HexReader, UpperOffsetsBeyond31BitsAreOutOfRangeByTheirLow24Bits) {
    MemoryImage image = erased_image(32768, 256);
    const std::string text = file_of({
        linear_record(0x8000),
        data_record(0x0001, "01"),
        linear_record(0xFFFF),
        record("02000002FFF0"),
        data_record(0xFFFF, "0203"),
    });
    const HexReadResult result = read_hex_text(text, image);
    EXPECT_EQ(result.outcome, HexReadOutcome::AcceptedOutOfRange);
    // 0x80000001; 0xFFFF0000 + 0xFFF00 + 0xFFFF and the byte after it.
    EXPECT_NE(result.message.find(":\r\n000001, 0FFEFF, 0FFF00.\r\n"), std::string::npos) << result.message;
    EXPECT_TRUE(same_contents(image, erased_image(32768, 256)));
}

// Damaged files of every shape must end in a clear verdict, never in a read out of bounds (the
// sanitizer build watches) or a verdict without its message.
TEST(HexReader, DamagedFilesAlwaysGetAVerdict) {
    const std::string original =
        file_of({linear_record(0x0000), data_record(0x0000, "0102030405060708090A"), record("020000021000"),
                 linear_record(0x00F0), data_record(0x00FE, "AABB"), linear_record(0x0030),
                 data_record(0x0000, "0102"), kEof});
    const std::string alphabet = ":0123456789ABCDEFaf G;\r\n\t";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text = original;
        for (int change = 0; change < 1 + round % 4; ++change) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
                case 0:
                    text[at] = alphabet[random() % alphabet.size()];
                    break;
                case 1:
                    text.erase(at, 1 + random() % 12);
                    break;
                default:
                    text.insert(at, 1, alphabet[random() % alphabet.size()]);
            }
            if (text.empty()) text = ":";
        }
        MemoryImage image = erased_image(32768, 256);
        const HexReadResult result = read_hex_text(text, image);
        if (result.outcome == HexReadOutcome::Rejected) {
            EXPECT_GE(result.line, 1);
            EXPECT_EQ(result.message.rfind("Input program file", 0), 0u);
        } else {
            EXPECT_EQ(result.message.empty(), result.outcome == HexReadOutcome::Accepted) << text;
        }
    }
}

}  // namespace
}  // namespace quillon

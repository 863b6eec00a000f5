#include "backends/sim/chip_hex.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quillon {
namespace {

ChipMemory sample(const ChipModel& model) {
    ChipMemory memory = erased_memory(model);
    for (std::size_t i = 0; i < 100; ++i)
        memory.flash[i * 3] = static_cast<std::uint8_t>(i);
    memory.flash.back() = 0x12;
    memory.id = {1, 2, 3, 4, 5, 6, 7, 8};
    memory.config[1] = 0x22;
    memory.eeprom[0] = 0x00;
    memory.eeprom[255] = 0x99;
    return memory;
}

TEST(ChipHex, MemoriesSurviveASaveAndALoad) {
    const ChipModel model = *find_chip_model("PIC18F4550");
    const ChipMemory memory = sample(model);
    const std::string text = chip_memory_to_hex(memory);
    EXPECT_NE(text.find(":020000040020DA\r\n"), std::string::npos);  // ID locations at 0x200000
    EXPECT_NE(text.find(":0200000400F00A\r\n"), std::string::npos);  // EEPROM at 0xF00000
    EXPECT_EQ(text.substr(text.size() - 13), ":00000001FF\r\n");

    ChipMemory loaded = erased_memory(model);
    ASSERT_TRUE(chip_memory_from_hex(text, model, loaded).ok());
    EXPECT_EQ(loaded, memory);

    TempDir dir;
    const std::string path = dir.file("chip.hex");
    ASSERT_TRUE(save_chip_file(path, memory).ok());
    ChipMemory from_file;
    ASSERT_TRUE(load_chip_file(path, model, from_file).ok());
    EXPECT_EQ(from_file, memory);
    EXPECT_FALSE(load_chip_file(dir.file("missing.hex"), model, from_file).ok());
}

TEST(ChipHex, AMalformedFileIsRejectedByLineAndChangesNothing) {
    const ChipModel model = *find_chip_model("PIC18F1220");
    const ChipMemory before = sample(model);
    const std::pair<const char*, const char*> cases[] = {
        {"10000000\n", "line 1: a record must begin with ':'"},
        {":0100000000FE\n:00000001FF\n", "line 1: checksum does not match"},
        {"\n:01000000G0FF\n", "line 2: 'G0' is not a hexadecimal byte"},
        {":02000000AAFF\n", "line 1: the record says 2 data bytes but holds 1"},
        {":0110000000EF\n", "line 1: address 001000h is outside PIC18F1220's memories"},
        {":0100000000FF", "the file has no end-of-file record"},
        {":00000007F9\n", "line 1: unknown record type 07"},
    };
    for (const auto& [text, message] : cases) {
        ChipMemory memory = before;
        const Result<> result = chip_memory_from_hex(text, model, memory);
        ASSERT_FALSE(result.ok()) << text;
        EXPECT_EQ(result.error().message, message);
        EXPECT_EQ(memory, before);
    }
}

}  // namespace
}  // namespace quillon

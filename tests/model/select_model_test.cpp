#include "model/select_model.h"

#include <gtest/gtest.h>

#include "model/device_file.h"

namespace quillon {
namespace {

AppState state_with(const std::string& text) {
    AppState state;
    parse_device_text(state.catalog, text);
    state.model_count = state.catalog.model_count();
    return state;
}

TEST(SplitScript, KeepsEverythingBetweenCommas) {
    EXPECT_EQ(split_script("BEGIN,End"), (AlgorithmScript{"begin", "end"}));
    EXPECT_EQ(split_script("begin,end,"), (AlgorithmScript{"begin", "end"}));
    EXPECT_EQ(split_script("begin,,end"), (AlgorithmScript{"begin", "", "end"}));
    EXPECT_EQ(split_script(" begin , end"), (AlgorithmScript{" begin ", " end"}));
    EXPECT_EQ(split_script(""), (AlgorithmScript{""}));
    EXPECT_EQ(split_script(","), (AlgorithmScript{""}));
    EXPECT_EQ(split_script(",,"), (AlgorithmScript{"", ""}));
}

TEST(ConfigErased, PairsAtFixedPositionsWhateverSeparatesThem) {
    const ConfigValues commas = parse_configerased("00,27,0F,0F,00,01,85,00,0F,C0,0F,E0,0F,40");
    EXPECT_EQ(parse_configerased("00 27 0f 0F 00 01 85 00 0F c0 0F E0 0F 40"), commas);
    EXPECT_EQ(commas(1), 0x00);
    EXPECT_EQ(commas(2), 0x27);
    EXPECT_EQ(commas(14), 0x40);

    const ConfigValues bad = parse_configerased("00,2G,0F,0F,00,01,85,00,0F,C0,0F,E0,0F,4");
    EXPECT_EQ(bad(1), 0);
    EXPECT_EQ(bad(2), -1);
    EXPECT_EQ(bad(13), 0x0F);
    EXPECT_EQ(bad(14), -1);  // a single digit is no pair
    EXPECT_EQ(parse_configerased("")(1), -1);
    EXPECT_EQ(parse_configerased("0000")(2), -1);  // only positions 1, 4, 7... count
}

TEST(SelectModel, FillsTheWorkingValues) {
    AppState state = state_with(
        "EraseAlgDef 3: BEGIN,END\n"
        "model: PIC18F452\n"
        "flash: 32768\n"
        "eeprom: 256 bytes\n"
        "configerased: 00,27,0F,0F,00,01,85,00,0F,C0,0F,E0,0F,40\n"
        "voltageseq: VddVpp\n"
        "progtime: 2.5\n"
        "pagesize: 8\n"
        "erasealg: 3\n"
        "programalg: 7\n");
    select_model(state, 1);
    EXPECT_EQ(state.model_name, "PIC18F452");
    EXPECT_EQ(state.flash_size, 32768);
    EXPECT_EQ(state.eeprom_size, 256);
    EXPECT_EQ(state.erased_config(2), 0x27);
    EXPECT_EQ(state.voltage_sequence, 1);
    EXPECT_EQ(state.prog_time_ms, 2);
    EXPECT_EQ(state.page_size, 8);
    EXPECT_EQ(state.erase_script, (AlgorithmScript{"begin", "end"}));
    EXPECT_EQ(state.program_script, (AlgorithmScript{""}));  // an empty slot is one empty word
    EXPECT_EQ(state.verify_script, (AlgorithmScript{""}));
}

TEST(SelectModel, VoltageSequenceKeepsItsValueForOtherWords) {
    AppState state = state_with(
        "model: A\nvoltageseq: vddvpp extra\n"
        "model: B\nvoltageseq: VPPVDD\n"
        "model: C\nvoltageseq: both\n");
    select_model(state, 1);
    EXPECT_EQ(state.voltage_sequence, 0);  // nothing set it yet
    select_model(state, 2);
    EXPECT_EQ(state.voltage_sequence, 2);
    select_model(state, 3);
    EXPECT_EQ(state.voltage_sequence, 2);
}

TEST(SelectModel, NonNumericAndImpossibleSizesBecomeSafe) {
    AppState state = state_with(
        "model: A\nflash: lots\neeprom: -5\n"
        "model: B\nflash: 99999999999\neeprom: 16777216\n");
    select_model(state, 1);
    EXPECT_EQ(state.flash_size, 0);
    EXPECT_EQ(state.eeprom_size, 0);
    select_model(state, 2);
    EXPECT_EQ(state.flash_size, 0);  // does not fit 32 bits: not a number
    EXPECT_EQ(state.eeprom_size, kMaxEepromSize);
}

}  // namespace
}  // namespace quillon

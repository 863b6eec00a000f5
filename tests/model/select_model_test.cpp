#include "model/select_model.h"

#include <gtest/gtest.h>

#include "model/chip_identity.h"
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

TEST(SelectModel, SiliconLinesSetTheirValuesAndAnUnreadableOneIsNotedAndLeftOut) {
    const std::string model =
        "configalgdef 2: begin,end\n"
        "model: PIC18F452\n"
        "progtime: 5\n";
    const std::string lines =
        "configbits: 00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40\n"
        "codepulse: 1\n"
        "configpulse: 5 ms\n"
        "discharge: 5\n"
        "bootblock: 000000-0001ff\n"
        "codeblocks: 000200-001FFF 002000-003FFF\n"
        "configalg: 2\n"
        "deviceid: 0420 ffe0\n";
    AppState state = state_with(model + lines);
    EXPECT_TRUE(state.catalog.notes.empty());
    select_model(state, 1);
    EXPECT_EQ(state.prog_time_ms, 1);  // the code pulse is the programming time
    EXPECT_EQ(state.silicon.bits(3), 0x0F);
    EXPECT_EQ(state.silicon.config_pulse_ms, 5);
    EXPECT_EQ(state.silicon.discharge_us, 5);
    EXPECT_EQ(state.silicon.protection.boot, (AddressRange{0, 0x1FF}));
    EXPECT_EQ(state.silicon.protection.blocks,
              (std::vector<AddressRange>{{0x200, 0x1FFF}, {0x2000, 0x3FFF}}));
    EXPECT_EQ(state.config_script, (AlgorithmScript{"begin", "end"}));
    EXPECT_EQ(state.silicon.device_id, (DeviceId{0x0420, 0xFFE0}));

    // Without the lines, or with values that do not read, the model is as it always was.
    const std::string bad =
        "configbits: 00 27 0F\n"
        "codepulse: 0\n"
        "configpulse: fast\n"
        "discharge: -5\n"
        "bootblock: 0-1FF\n"
        "codeblocks: 000200-001FFF 3000-2000\n"
        "deviceid: 0424 FFE0\n";  // revision bits in the ID
    for (const std::string& text : {model, model + bad}) {
        AppState plain = state_with(text);
        select_model(plain, 1);
        EXPECT_EQ(plain.prog_time_ms, 5);
        EXPECT_EQ(plain.silicon.bits(3), 0xFF);
        EXPECT_EQ(plain.silicon.config_pulse_ms, 0);
        EXPECT_EQ(plain.silicon.discharge_us, -1);
        EXPECT_TRUE(plain.silicon.protection.empty());
        EXPECT_TRUE(plain.config_script.empty());
        EXPECT_FALSE(plain.silicon.device_id);
    }
    const AppState noted = state_with(model + bad);
    ASSERT_EQ(noted.catalog.notes.size(), 7u);
    EXPECT_EQ(noted.catalog.notes[0].line, 4);
    EXPECT_EQ(
        noted.catalog.notes[0].text,
        "configbits: \"00 27 0F\" is not 14 hexadecimal pairs laid out as configerased; the model goes on "
        "as without this line");
    EXPECT_EQ(noted.catalog.notes[1].text.substr(0, 47), "codepulse: \"0\" is no pulse length from 1 to 30 ");
}

// The chip's word names a model under that model's mask; the revision is what the mask leaves.
// Two models whose IDs agree under the bits both masks share cannot be told apart.
TEST(ChipIdentity, NamesTheModelUnderItsMaskAndFindsIdsThatClash) {
    AppState state = state_with(
        "model: A\ndeviceid: 0420 FFE0\nmodel: B\ndeviceid: 1200 FFE0\nmodel: C\n"
        "model: D\ndeviceid: 1200 FF00\n");
    const ChipIdentity b = identify_chip(state.catalog, 0x1204);
    EXPECT_EQ(b.kind, ChipIdentity::Kind::Known);
    EXPECT_EQ(b.model_number, 2);
    EXPECT_EQ(identity_text(b), "B (device ID 1204, revision 4)");
    EXPECT_EQ(identity_text(identify_chip(state.catalog, 0x0445)),
              "a chip this library does not know (device ID 0445)");
    EXPECT_EQ(identify_chip(state.catalog, 0xFFFF).kind, ChipIdentity::Kind::NoChip);
    EXPECT_EQ(identify_chip(state.catalog, 0x0000).kind, ChipIdentity::Kind::NoChip);

    EXPECT_TRUE(device_id_clashes(state.catalog, 1).empty());
    EXPECT_TRUE(device_id_clashes(state.catalog, 3).empty());
    const std::vector<std::string> clashes = device_id_clashes(state.catalog, 2);
    ASSERT_EQ(clashes.size(), 1u);
    EXPECT_EQ(clashes[0],
              "deviceid: 1200 FFE0 does not tell this part from D (model 4), which gives 1200 FF00");
}

}  // namespace
}  // namespace quillon

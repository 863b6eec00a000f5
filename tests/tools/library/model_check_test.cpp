// The checks of a device library's models that need no chip.
#include "tools/library/model_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "model/device_file.h"

namespace quillon {
namespace {

using testing::AllOf;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::SizeIs;

// A model whose values and scripts are all sound; each test spoils one thing.
struct ModelText {
    std::string erase = "begin,end";
    std::string program = "begin,end";
    std::string read = "begin,end";
    std::string blank_check = "begin,end";
    std::string verify = "begin,end";
    std::string flash = "16";
    std::string eeprom = "0";
    std::string configerased = "00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40";
    std::string voltageseq = "vddvpp";
    std::string progtime = "2";
    std::string pagesize = "8";
    std::string extra;  // further model lines, each ending in CR LF

    std::string text() const {
        return "erasealgdef 1: " + erase + "\r\nprogramalgdef 1: " + program + "\r\nreadalgdef 1: " + read +
               "\r\nblankcheckalgdef 1: " + blank_check + "\r\nverifyalgdef 1: " + verify +
               "\r\nmodel: Test\r\nflash: " + flash + "\r\neeprom: " + eeprom +
               "\r\nconfigerased: " + configerased + "\r\nvoltageseq: " + voltageseq +
               "\r\nprogtime: " + progtime + "\r\npagesize: " + pagesize +
               "\r\nerasealg: 1\r\nprogramalg: 1\r\nreadalg: 1\r\nblankcheckalg: 1\r\nverifyalg: 1\r\n" +
               extra;
    }
};

std::vector<std::string> faults_of(const std::string& device_text, int number = 1) {
    AppState state;
    parse_device_text(state.catalog, device_text);
    std::vector<std::string> described;
    for (const ModelFault& fault : check_model(state, number))
        described.push_back(describe_fault(fault));
    return described;
}

std::vector<std::string> faults_of(const ModelText& model) {
    return faults_of(model.text());
}

TEST(ModelCheck, ASoundModelHasNoFault) {
    EXPECT_THAT(faults_of(ModelText{}), IsEmpty());
}

TEST(ModelCheck, ScriptFaultsNameTheOperationSlotAndInstruction) {
    const struct {
        const char* program;
        const char* expected;
    } cases[] = {
        {"begin,s00-zz,end", "program script (slot 1): Instruction 2 's00-zz' is not an instruction"},
        {"begin,setflashloop,flash=s09,end", "Instruction 2 'setflashloop' has no \"loop\" after it"},
        {"begin,ifpage,startprog,end", "Instruction 2 'ifpage' has no \"endifpage\" after it"},
        {"begin,loop,setflashloop,loop,end", "Instruction 2 'loop' comes before any"},
        {"begin,end,end", "Instruction 3 'end' has no \"begin\" before it"},
        {"begin,begin,end", "Instruction 1 'begin' has no \"end\" after it, so the chip stays powered"},
        {"calcflash", "No \"begin\": the chip is never powered up"},
    };
    for (const auto& c : cases) {
        ModelText model;
        model.program = c.program;
        EXPECT_THAT(faults_of(model),
                    ElementsAre(AllOf(HasSubstr("program script (slot 1): "), HasSubstr(c.expected))))
            << c.program;
    }
}

TEST(ModelCheck, PageInstructionsNeedAPageSizeAndWordsAnEvenFlash) {
    ModelText model;
    model.program = "begin,calcflashpage,setflashloop,s0d-flash,loop,end";
    model.pagesize = "0";
    model.flash = "15";
    EXPECT_THAT(faults_of(model),
                ElementsAre(HasSubstr("'calcflashpage' needs a page size, but the model's page size is 0"),
                            HasSubstr("The FLASH size 15 is odd")));
}

TEST(ModelCheck, AChecksLastInstructionMustPowerTheChipDown) {
    // The mismatch limit jumps to the last instruction; anything but "end" leaves the chip powered.
    ModelText model;
    model.verify = "begin,end,w1";
    model.blank_check = "begin,end,w1";
    model.read = "begin,end,w1";  // reads have no mismatch limit
    EXPECT_THAT(faults_of(model), ElementsAre(HasSubstr("blank check script (slot 1): The last instruction"),
                                              HasSubstr("verify script (slot 1): The last instruction")));
}

TEST(ModelCheck, ModelValuesOutsideTheirRangeAreNamed) {
    ModelText model;
    model.configerased = "00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 4";
    model.voltageseq = "vdd";
    model.progtime = "0";
    model.flash = "none";
    model.eeprom = "-1";
    EXPECT_THAT(
        faults_of(model),
        ElementsAre("flash: \"none\" is no FLASH size from 1 to 2097152 bytes",
                    "eeprom: \"-1\" is no EEPROM size from 0 to 65536 bytes",
                    "configerased: \"00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 4\" is not 14 hexadecimal "
                    "pairs (unreadable: CONF7H)",
                    "voltageseq: \"vdd\" is neither vddvpp nor vppvdd",
                    "progtime: 0 ms is outside 1 to 30 ms"));
}

TEST(ModelCheck, SiliconLinesThatDoNotReadOrDoNotFitTheModelAreNamed) {
    ModelText model;
    model.flash = "1024";
    model.extra =
        "configbits: 00 27 0F 0F 00 01 85 00 03 C0 03 E0 03\r\ncodepulse: 40\r\nconfigpulse: x\r\n"
        "discharge: 20000\r\nbootblock: 000000-00\r\ncodeblocks: 000200-0003FF 000300-0007FF\r\n";
    EXPECT_THAT(
        faults_of(model),
        ElementsAre("configbits: \"00 27 0F 0F 00 01 85 00 03 C0 03 E0 03\" is not 14 hexadecimal pairs "
                    "laid out as configerased",
                    "codepulse: \"40\" is no pulse length from 1 to 30 ms",
                    "configpulse: \"x\" is no pulse length from 1 to 30 ms",
                    "discharge: \"20000\" is no time from 0 to 10000 us",
                    "bootblock: \"000000-00\" is not one address range such as 000000-0001FF",
                    "bootblock: and codeblocks: must list ranges inside the FLASH size in ascending order "
                    "without overlap; 000300-0007FF is not"));
    // Readable lines that contradict the model: erased values with bits the part lacks, a block past
    // the end of FLASH, a configuration-only script that is not sound.
    model.flash = "16";
    model.extra =
        "configbits: 00 27 0F 0F 00 01 85 00 03 C0 03 E0 03 40\r\ncodeblocks: 000000-0001FF\r\n"
        "configalg: 1\r\n";
    EXPECT_THAT(
        faults_of("configalgdef 1: begin,s00-zz\r\n" + model.text()),
        ElementsAre(HasSubstr("000000-0001FF is not"),
                    "configerased: sets bits that configbits: says the part does not implement (CONF5L, "
                    "CONF6L, CONF7L); a blank chip reads them as 0",
                    "configuration script: Instruction 2 's00-zz' is not an instruction",
                    "configuration script: Instruction 1 'begin' has no \"end\" after it, so the chip "
                    "stays powered",
                    HasSubstr("configuration script: The last instruction is not \"end\"")));
}

TEST(ModelCheck, ProgrammingTimeRangeIsOneToThirtyMilliseconds) {
    for (const char* progtime : {"1", "30"}) {
        ModelText model;
        model.progtime = progtime;
        model.program = "begin,startprog,end";
        EXPECT_THAT(faults_of(model), IsEmpty()) << progtime;
    }
    // Far out of range: one fault for the model, not one for every "startprog".
    ModelText model;
    model.progtime = "2000";
    model.program = "begin,startprog,startprog,end";
    EXPECT_THAT(faults_of(model), ElementsAre("progtime: 2000 ms is outside 1 to 30 ms"));
}

TEST(ModelCheck, AScriptFromAnEmptySlotIsMissing) {
    const std::string text =
        "model: Early\r\nerasealg: 3\r\n"  // slot 3 is defined only below
        "erasealgdef 3: begin,end\r\n";
    const std::vector<std::string> faults = faults_of(text);
    EXPECT_THAT(
        faults,
        Contains("erase script: missing: the model's erasealg: line is absent or names an empty slot"));
    EXPECT_THAT(faults, Contains(HasSubstr("program script: missing: the model's programalg: line")));
}

TEST(ModelCheck, ScriptSlotFollowsTheTextTheModelTook) {
    DeviceCatalog catalog;
    parse_device_text(catalog,
                      "erasealgdef 4: begin,end\nmodel: A\nerasealg: 4\n"
                      "erasealgdef 4: begin,w1,end\nmodel: B\nerasealg: 4\n");
    EXPECT_EQ(script_slot(catalog, 1, Operation::Erase), -1);  // slot 4 holds another text now
    EXPECT_EQ(script_slot(catalog, 2, Operation::Erase), 4);
    EXPECT_EQ(script_slot(catalog, 2, Operation::Program), -1);
    EXPECT_EQ(describe_fault({Operation::BlankCheck, 7, "text"}), "blank check script (slot 7): text");
    EXPECT_EQ(describe_fault({Operation::Read, -1, "text"}), "read script: text");
    EXPECT_EQ(describe_fault({{}, -1, "text"}), "text");
}

TEST(ModelCheck, AVoltageSequenceIsNotInheritedFromTheModelBefore) {
    AppState state;
    parse_device_text(state.catalog, "model: Good\nvoltageseq: vddvpp\nmodel: Bad\nvoltageseq: later\n");
    check_model(state, 1);
    check_model(state, 2);
    EXPECT_EQ(state.voltage_sequence, 0);
    EXPECT_THAT(faults_of("model: Good\nvoltageseq: vddvpp\nmodel: Bad\nvoltageseq: later\n", 2),
                Contains("voltageseq: \"later\" is neither vddvpp nor vppvdd"));
    EXPECT_THAT(faults_of("model: M\n"), SizeIs(4 + kOperationCount));
}

}  // namespace
}  // namespace quillon

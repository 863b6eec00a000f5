#include "engine/script/script_interpreter.h"

#include <gtest/gtest.h>

#include "backends/recording/recording_port.h"
#include "engine/script/mismatch_report.h"
#include "model/select_model.h"
#include "support/icsp_frames.h"
#include "support/recording_host.h"

namespace quillon {
namespace {

using Kind = LineEvent::Kind;

// Runs a script word list against a recording port, the way a chip operation steps it.
struct ScriptRun {
    AppState state;
    RecordingPort port;
    RecordingHost host;
    FakeClock clock;
    ProgrammerLines lines{port, host, clock};
    ScriptInterpreter interpreter{state, lines, host};

    ScriptRun() {
        state.flash_size = 128;
        state.eeprom_size = 64;
        state.page_size = 8;
        state.voltage_sequence = 1;
        state.image.flash.assign(128, 0xFF);
        state.image.eeprom.assign(64, 0xFF);
    }

    ScriptProgram run(const std::string& script, std::int32_t start_address = 0) {
        state.run_script = split_script(script);
        state.run_length = static_cast<std::int32_t>(state.run_script.size());
        ScriptProgram program =
            compile_script(state.run_script, {state.flash_size, state.page_size, 1, 1, {}});
        EXPECT_TRUE(program.runnable()) << (program.problems.empty() ? "" : program.problems[0].text);
        state.run_address = start_address;
        state.last_flash_address = state.flash_size - 1;
        state.last_eeprom_address = state.eeprom_size - 1;
        interpreter.begin_run();
        interpreter.reset_mismatch_report();
        for (state.run_pc = 1; state.run_pc <= state.run_length && interpreter.fault() == RunFault::None;) {
            interpreter.script_step(program);
        }
        return program;
    }

    std::vector<IcspFrame> frames() const { return icsp_frames(port.events()); }
};

TEST(ScriptInterpreter, BeginAndEndOnlySwitchTheSupply) {
    ScriptRun t;
    t.run("begin,end");
    EXPECT_EQ(t.port.events(), (std::vector<LineEvent>{{Kind::WriteByte, 1}, {Kind::WriteByte, 1}}));
    EXPECT_EQ(t.clock.now(), std::chrono::milliseconds(200));
}

TEST(ScriptInterpreter, SendsWordsConfigurationBytesAndLiterals) {
    ScriptRun t;
    t.state.image.flash[0] = 0x34;
    t.state.image.flash[1] = 0x12;
    t.state.image.config(2) = 0x22;
    t.run("s0d-flash,s00-config1h,s00-0eab,sAB-0000,s0c-00zz");
    EXPECT_EQ(t.frames(), (std::vector<IcspFrame>{{0x0D, 0x1234}, {0x00, 0x2222}, {0x00, 0x0EAB}}));
    EXPECT_EQ(t.state.run_address, 2);
    // Outside a loop the caption counts against loop_end, still 0 here.
    EXPECT_EQ(t.host.statuses, (std::vector<std::string>{"F:1/1", "CONF1H:"}));
}

TEST(ScriptInterpreter, MovlwInstructionsLoadTheAddressBytes) {
    ScriptRun t;
    t.state.image.eeprom[0x23] = 0x5A;
    t.run("movlw-upper,movlw-high,movlw-low,movlw-eeprom", 0x012323);
    EXPECT_EQ(t.frames(), (std::vector<IcspFrame>{{0, 0x0E01}, {0, 0x0E23}, {0, 0x0E23}, {0, 0x0EFF}}));
    EXPECT_EQ(t.state.run_address, 0x012324);

    ScriptRun eeprom;
    eeprom.state.image.eeprom[0x23] = 0x5A;
    eeprom.run("movlw-eeprom", 0x23);
    EXPECT_EQ(eeprom.frames(), (std::vector<IcspFrame>{{0, 0x0E5A}}));
    EXPECT_EQ(eeprom.host.statuses, (std::vector<std::string>{"E:36/1"}));
}

TEST(ScriptInterpreter, LoopsRunTheirBodyUpToTheLoopEndAndLeaveTheAddressAtZero) {
    ScriptRun t;
    t.state.image.flash[9] = 0x00;
    t.run("calcflashpage,setflashloop,s0d-flash,loop,s00-0000");
    EXPECT_EQ(t.state.last_flash_address, 15);  // the end of the page that holds address 9
    EXPECT_EQ(t.frames().size(), 8u + 1);       // 16 bytes in words, then the instruction after the loop
    EXPECT_EQ(t.state.run_address, 0);
    EXPECT_EQ(t.host.statuses.back(), "F:15/16");

    ScriptRun blank;
    blank.run("calcflashpage");
    EXPECT_EQ(blank.state.last_flash_address, 7);

    ScriptRun empty;
    empty.run("calcflash,setflashloop,s0d-flash,loop,s00-1234");
    EXPECT_EQ(empty.state.last_flash_address, -1);
    EXPECT_EQ(empty.frames(), (std::vector<IcspFrame>{{0, 0x1234}}));  // the body never ran
    EXPECT_EQ(empty.state.run_address, 0);
}

TEST(ScriptInterpreter, IfPageRunsItsBlockOnlyAfterACompletedPage) {
    for (const auto& [address, runs] : {std::pair{0, false}, {8, true}, {12, false}}) {
        ScriptRun t;
        t.state.run_address = address;
        t.state.run_script = split_script("ifpage,s00-1111,endifpage,s00-2222");
        t.state.run_length = 4;
        const ScriptProgram program = compile_script(t.state.run_script, {128, 8, 1, 1, {}});
        t.interpreter.begin_run();
        for (t.state.run_pc = 1; t.state.run_pc <= t.state.run_length;)
            t.interpreter.script_step(program);
        const std::vector<IcspFrame> expected =
            runs ? std::vector<IcspFrame>{{0, 0x1111}, {0, 0x2222}} : std::vector<IcspFrame>{{0, 0x2222}};
        EXPECT_EQ(t.frames(), expected) << address;
    }
}

TEST(ScriptInterpreter, ReadsFillTheBuffersAndChecksReportDifferences) {
    ScriptRun t;
    t.port.dsr_level = true;  // every byte reads FF
    t.state.image.flash.assign(128, 0x00);
    t.run("flash=s09,eeprom=s09,config3h=s09,temp=s09,checkblankflash,temp=s09,checkflash");
    EXPECT_EQ(t.state.image.flash[0], 0xFF);
    EXPECT_EQ(t.state.image.eeprom[0], 0xFF);
    EXPECT_EQ(t.state.image.config(6), 0xFF);
    EXPECT_EQ(t.state.mismatch_count(), 1);
    EXPECT_EQ(mismatch_report(t.state.mismatch_rows),
              "Memory Location,   Read Value,   Expected,\r\n"
              "FLASH Byte 000003h,   FFh,   00h,\r\n");
}

TEST(ScriptInterpreter, TheTwentyFifthMismatchJumpsToTheLastInstruction) {
    ScriptRun t;
    t.state.image.flash.assign(128, 0x00);  // every byte differs from the FF the board reads
    t.port.dsr_level = true;
    t.run("begin,setflashloop,temp=s09,checkflash,loop,end");
    EXPECT_EQ(t.state.mismatch_count(), 25);
    EXPECT_NE(mismatch_report(t.state.mismatch_rows).find("FLASH Byte 000000h,   FFh,   00h,\r\n"),
              std::string::npos);
    EXPECT_NE(mismatch_report(t.state.mismatch_rows).find("FLASH Byte 000018h,"), std::string::npos);
    EXPECT_EQ(mismatch_report(t.state.mismatch_rows).find("FLASH Byte 000019h,"), std::string::npos);
    EXPECT_EQ(t.port.events().back(), (LineEvent{Kind::WriteByte, 1}));  // "end" still ran
}

TEST(ScriptInterpreter, ConfigurationChecksUseTheErasedValuesOrTheBuffer) {
    ScriptRun t;
    t.state.erased_config(1) = 0x00;
    t.state.image.config(14) = 0x40;
    t.port.dsr_level = true;
    t.run("temp=s09,checkblankconfig1l,temp=s09,checkconfig7h");
    EXPECT_EQ(mismatch_report(t.state.mismatch_rows),
              "Memory Location,   Read Value,   Expected,\r\n"
              "CONF Byte 300000h,   FFh,   00h,\r\n"
              "CONF Byte 30000Dh,   FFh,   40h,\r\n");
}

TEST(ScriptInterpreter, WaitsSleepTheirMilliseconds) {
    ScriptRun t;
    t.run("w25,w,w2.5");
    EXPECT_EQ(t.clock.now(), std::chrono::milliseconds(27));
}

TEST(ScriptInterpreter, WaitForWriteGivesUpOnAChipThatNeverClearsWr) {
    ScriptRun t;
    t.port.dsr_level = true;
    t.run("begin,waitwr,end");
    EXPECT_EQ(t.interpreter.fault(), RunFault::WriteTimeout);
    EXPECT_EQ(t.interpreter.powered_depth(), 1);
    t.interpreter.power_down_after_fault();
    EXPECT_EQ(t.interpreter.powered_depth(), 0);

    ScriptRun answering;
    answering.run("waitwr");  // DATA IN low: WR reads clear at the first poll
    EXPECT_EQ(answering.interpreter.fault(), RunFault::None);
    EXPECT_EQ(answering.frames(), (std::vector<IcspFrame>{{0, 0x50A6}, {0, 0x6EF5}, {2, 0xFF00}}));
}

TEST(ScriptInterpreter, ALoopBodyThatDoesNotMoveStopsTheRun) {
    ScriptRun t;
    t.run("setflashloop,s00-0000,loop");
    EXPECT_EQ(t.interpreter.fault(), RunFault::LoopStuck);
    EXPECT_EQ(t.frames().size(), 1u);
}

TEST(ScriptInterpreter, ALoopThatReturnsToAnEndedLoopStopsTheRun) {
    // The second "loop" would send the run back to the ended EEPROM loop, which starts again from
    // address 0, ends, and is sent back again, for ever.
    ScriptRun t;
    t.run("seteepromloop,eeprom=s02,loop,s00-1234,loop,end");
    EXPECT_EQ(t.interpreter.fault(), RunFault::LoopStuck);
    EXPECT_EQ(t.state.run_pc, 5);

    // The same when the first "loop" stands in a page block: the ended loop jumps past it to the
    // second one.
    ScriptRun pages;
    pages.run("setflashloop,s0d-flash,ifpage,loop,endifpage,loop");
    EXPECT_EQ(pages.interpreter.fault(), RunFault::LoopStuck);
    EXPECT_EQ(pages.state.run_address, 0);
}

TEST(ScriptInterpreter, APortThatFailsStopsTheRun) {
    ScriptRun t;
    t.port.fail_after_changes = 100;
    t.run("setflashloop,s0d-flash,loop");
    EXPECT_EQ(t.interpreter.fault(), RunFault::PortFailed);
    EXPECT_LT(t.state.run_address, 10);
}

TEST(ScriptCompiler, RefusesScriptsThatCannotRunBeforeTheyStart) {
    const auto problems = [](const std::string& script, ScriptLimits limits = {128, 8, 1, 1, {}}) {
        std::vector<std::string> texts;
        for (const ScriptProblem& p : compile_script(split_script(script), limits).problems)
            texts.push_back(p.text);
        return texts;
    };
    EXPECT_TRUE(
        problems("begin,calcflashpage,setflashloop,s0d-flash,ifpage,endifpage,loop,w60000,end").empty());
    EXPECT_EQ(problems("setflashloop,s0d-flash"),
              std::vector<std::string>{"Instruction 1 'setflashloop' has no \"loop\" after it."});
    EXPECT_EQ(problems("ifpage,loop").size(), 2u);
    EXPECT_EQ(problems("loop,setflashloop,loop"),
              std::vector<std::string>{
                  "Instruction 1 'loop' comes before any \"setflashloop\" or \"seteepromloop\"."});
    EXPECT_EQ(problems("calcflashpage", {128, 0, 1, 1, {}}).size(), 1u);
    EXPECT_EQ(problems("w-5").size(), 1u);
    EXPECT_EQ(problems("w60001").size(), 1u);
    EXPECT_EQ(problems("s0d-flash", {127, 8, 1, 1, {}}).size(), 1u);
    EXPECT_EQ(problems("startprog", {128, 8, 5000, 1, {}}).size(), 1u);
    // "begin" without a power-up order would leave the supply on after "end".
    EXPECT_EQ(problems("begin,end", {128, 8, 1, 0, "vdd"}),
              std::vector<std::string>{"Instruction 1 'begin' cannot power the chip up: the model's line "
                                       "\"voltageseq: vdd\" must read \"voltageseq: vddvpp\" or "
                                       "\"voltageseq: vppvdd\"."});
    EXPECT_TRUE(problems("end", {128, 8, 1, 0, ""}).empty());
    // At the mismatch limit the run goes on with the last instruction.
    EXPECT_EQ(problems("begin,setflashloop,temp=s09,checkflash,loop").size(), 1u);
    EXPECT_TRUE(problems("begin,setflashloop,s0d-flash,loop").empty());

    const ScriptProgram empty = compile_script(split_script(""), {});
    ASSERT_EQ(empty.problems.size(), 1u);
    EXPECT_EQ(empty.problems[0].kind, ScriptProblemKind::Unrecognized);
    EXPECT_EQ(empty.problems[0].word, "");
    EXPECT_EQ(compile_script(split_script(" begin"), {}).problems[0].word, " begin");
}

TEST(InstructionSet, DecodesEachRowByItsMatchRule) {
    EXPECT_EQ(decode_word("startprog").op, Op::StartProg);
    EXPECT_EQ(decode_word("s0f-config6h").op, Op::SendConfig);
    EXPECT_EQ(decode_word("s0f-config6h").config, 12);
    EXPECT_EQ(decode_word("s0f-config8h").op, Op::Unrecognized);
    EXPECT_EQ(decode_word("config7h=s09").config, 14);
    EXPECT_EQ(decode_word("config7h=s09").command, 9);
    EXPECT_EQ(decode_word("temp=s0a").command, 10);
    EXPECT_EQ(decode_word("flash=szz").op, Op::ReadFlash);
    EXPECT_EQ(decode_word("flash=szz").command, -1);
    EXPECT_EQ(decode_word("sxx-flash").op, Op::SendFlash);
    EXPECT_EQ(decode_word("s00-0e3c").operand, 0x0E3C);
    EXPECT_EQ(decode_word("s00-0e3").op, Op::Unrecognized);
    EXPECT_EQ(decode_word("waitwr").op, Op::WaitWr);
    EXPECT_EQ(decode_word("wait").op, Op::Wait);
    EXPECT_EQ(decode_word("checkblankconfig3l").config, 5);
    EXPECT_EQ(decode_word("checkconfig").op, Op::Unrecognized);
    EXPECT_EQ(decode_word("BEGIN").op, Op::Unrecognized);  // words arrive lower-cased
}

}  // namespace
}  // namespace quillon

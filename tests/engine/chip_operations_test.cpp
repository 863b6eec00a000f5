#include "engine/chip_operations.h"

#include <gtest/gtest.h>

#include "backends/recording/recording_port.h"
#include "model/select_model.h"
#include "support/recording_host.h"

namespace quillon {
namespace {

using namespace std::chrono_literals;

struct Bench {
    AppState state;
    RecordingPort port;
    RecordingHost host;
    FakeClock clock;
    ChipSession session{state, host, clock, &port};

    Bench() {
        state.model_name = "Test";
        state.flash_size = 128;
        state.eeprom_size = 64;
        state.page_size = 8;
        state.voltage_sequence = 1;
        state.port_open = true;
        state.port_number = 5;
        state.image.flash.assign(128, 0xFF);
        state.image.eeprom.assign(64, 0xFF);
        for (int k = 1; k <= kConfigByteCount; ++k)
            state.erased_config(k) = 0x0F;
    }

    int toggles() const {
        int count = 0;
        for (const LineEvent& e : port.events())
            count += e.kind == LineEvent::Kind::WriteByte;
        return count;
    }
};

TEST(ElapsedText, CutsToHundredths) {
    EXPECT_EQ(elapsed_text(3050ms), "3.05");
    EXPECT_EQ(elapsed_text(12340ms), "12.34");
    EXPECT_EQ(elapsed_text(500ms), "0.50");
    EXPECT_EQ(elapsed_text(7s), "7.00");
    EXPECT_EQ(elapsed_text(9999999us), "9.99");
}

TEST(ChipOperations, AClosedPortOnlyReportsTheError) {
    Bench b;
    b.state.port_open = false;
    b.state.port_number = 3;
    b.state.program_script = split_script("begin,end");
    for (auto operation : {program_all, read_all, erase_all, blank_check, verify_chip}) {
        EXPECT_EQ(operation(b.session), RunOutcome::PortClosed);
        EXPECT_EQ(b.host.status(), "Serial port 3 error!");
    }
    EXPECT_EQ(b.host.disables, 0);
    EXPECT_TRUE(b.port.events().empty());
}

TEST(ChipOperations, ProgramAllReportsTheElapsedTimeOnItsClock) {
    Bench b;
    b.state.program_script = split_script("w3050");
    EXPECT_EQ(program_all(b.session), RunOutcome::Completed);
    EXPECT_EQ(b.host.statuses.front(), "Begin program all.");
    EXPECT_EQ(b.host.status(), "Chip programmed. 3.05 seconds elapsed...");
    EXPECT_EQ(b.host.disables, 1);
    EXPECT_EQ(b.host.enables, 1);
    EXPECT_EQ(b.host.redraws, 0);  // programming never changes the buffers
}

TEST(ChipOperations, AFailedVerifyShowsTheReportAfterItsFirstLine) {
    Bench b;
    b.state.image.flash.assign(128, 0x00);  // 128 programmed bytes; the board reads FF
    b.port.dsr_level = true;
    b.state.verify_script = split_script("begin,setflashloop,temp=s09,checkflash,loop,end");
    EXPECT_EQ(verify_chip(b.session), RunOutcome::Differences);
    EXPECT_EQ(b.state.mismatch_count(), 25);
    EXPECT_EQ(b.host.status(), "Chip verify failed. 0.20 seconds elapsed...");
    ASSERT_EQ(b.host.messages.size(), 1u);
    EXPECT_EQ(b.host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(b.host.messages[0].title, "");
    EXPECT_EQ(b.host.messages[0].text.substr(0, 67),
              "Chip verify failed:\r\n\r\nMemory Location,   Read Value,   Expected,\r\n");
    EXPECT_EQ(b.toggles(), 2);  // the run ended with "end"
}

TEST(ChipOperations, APassingBlankCheckShowsNoMessage) {
    Bench b;
    b.port.dsr_level = true;
    b.state.blank_check_script = split_script("setflashloop,temp=s09,checkblankflash,loop");
    EXPECT_EQ(blank_check(b.session), RunOutcome::Completed);
    EXPECT_TRUE(b.host.messages.empty());
    EXPECT_EQ(b.host.status(), "Chip is blank. 0.00 seconds elapsed...");
}

TEST(ChipOperations, ReadAllErasesTheBuffersFirstAndRedrawsAfter) {
    Bench b;
    b.state.image.flash.assign(128, 0x12);
    b.state.image.config(1) = 0x99;
    b.state.read_script = split_script("begin,setflashloop,flash=s09,loop,end");
    EXPECT_EQ(read_all(b.session), RunOutcome::Completed);  // DATA IN low: every byte reads 00
    EXPECT_EQ(b.state.image.flash, FlashBuffer(128, 0x00));
    EXPECT_EQ(b.state.image.eeprom, EepromBuffer(64, 0xFF));
    EXPECT_EQ(b.state.image.config(1), 0x0F);  // the erased value, as the script reads no configuration
    EXPECT_EQ(b.host.redraws, 2);
    EXPECT_EQ(b.host.status(), "Chip read. 0.20 seconds elapsed...");
}

TEST(ChipOperations, AnUnrecognizedWordEndsTheProgramBeforeTheChipIsTouched) {
    Bench b;
    b.state.erase_script = split_script("");
    EXPECT_EQ(erase_all(b.session), RunOutcome::ScriptUnrecognized);
    ASSERT_EQ(b.host.messages.size(), 1u);
    EXPECT_EQ(b.host.messages[0].text, "Unrecognized symbolic instruction ''.\r\nThe program must end.");
    EXPECT_EQ(b.host.messages[0].title, "Ardentix Quillon");
    EXPECT_TRUE(b.port.events().empty());
}

TEST(ChipOperations, AScriptThatCannotRunIsRefusedWithItsReasons) {
    Bench b;
    b.state.page_size = 0;
    b.state.program_script = split_script("begin,calcflashpage,setflashloop,s0d-flash,end");
    EXPECT_EQ(program_all(b.session), RunOutcome::ScriptRefused);
    ASSERT_EQ(b.host.messages.size(), 1u);
    EXPECT_NE(b.host.messages[0].text.find("page size"), std::string::npos);
    EXPECT_NE(b.host.messages[0].text.find("\"loop\""), std::string::npos);
    EXPECT_TRUE(b.port.events().empty());
    EXPECT_EQ(b.host.disables, 0);
}

TEST(ChipOperations, APortThatFailsDuringAReadLosesNothing) {
    Bench b;
    b.state.image.flash.assign(128, 0x12);
    const MemoryImage before = b.state.image;
    b.port.fail_after_changes = 500;
    b.state.read_script = split_script("begin,setflashloop,flash=s09,loop,end");
    EXPECT_EQ(read_all(b.session), RunOutcome::PortFailed);
    EXPECT_FALSE(b.state.port_open);
    EXPECT_EQ(b.host.status(), "Serial port COM5 error!");
    EXPECT_EQ(b.state.image.flash, before.flash);
    EXPECT_TRUE(b.host.enabled);
    ASSERT_EQ(b.host.messages.size(), 1u);
    EXPECT_NE(b.host.messages[0].text.find("disconnected"), std::string::npos);
}

TEST(ChipOperations, AFailedPortIsNamedAsTheUserKnowsIt) {
    Bench b;
    b.state.port_label = "Simulated board (PIC18F452)";
    b.port.fail_after_changes = 500;
    b.state.read_script = split_script("begin,setflashloop,flash=s09,loop,end");
    EXPECT_EQ(read_all(b.session), RunOutcome::PortFailed);
    EXPECT_EQ(b.host.status(), "Simulated board (PIC18F452) error!");
}

TEST(ChipOperations, AChipThatNeverFinishesAWriteIsPoweredDown) {
    Bench b;
    b.port.dsr_level = true;  // WR reads set forever
    b.state.image.eeprom[0] = 0x00;
    b.state.program_script = split_script("begin,calceeprom,seteepromloop,movlw-eeprom,waitwr,loop,end");
    EXPECT_EQ(program_all(b.session), RunOutcome::Fault);
    EXPECT_EQ(b.toggles(), 2);  // up, and down again after the timeout
    EXPECT_TRUE(b.host.enabled);
    EXPECT_EQ(b.host.status(), "Operation stopped! The chip was powered down.");
    ASSERT_EQ(b.host.messages.size(), 1u);
    EXPECT_NE(b.host.messages[0].text.find("WR"), std::string::npos);
}

}  // namespace
}  // namespace quillon

#include "engine/operations/chip_operations.h"
#include "engine/script/run_progress.h"

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
    b.state.blank_check_script = split_script("begin,setflashloop,temp=s09,checkblankflash,loop,end");
    EXPECT_EQ(blank_check(b.session), RunOutcome::Completed);
    EXPECT_TRUE(b.host.messages.empty());
    EXPECT_EQ(b.host.status(), "Chip is blank. 0.20 seconds elapsed...");
}

TEST(ChipOperations, ARunOverChosenRegionsReadsAndComparesOnlyThose) {
    Bench b;  // DATA IN low: every byte reads 00
    b.state.image.flash.assign(128, 0x12);
    b.state.image.eeprom.assign(64, 0x34);
    b.state.image.config(2) = 0x56;
    const std::string reads =
        "begin,setflashloop,flash=s09,loop,seteepromloop,eeprom=s02,loop,config1h=s09,end";
    b.state.read_script = split_script(reads);
    EXPECT_EQ(run_algorithm(b.session, Operation::Read, *parse_regions("EEPROM")), RunOutcome::Completed);
    EXPECT_EQ(b.state.image.flash, FlashBuffer(128, 0x12));
    EXPECT_EQ(b.state.image.eeprom, EepromBuffer(64, 0x00));
    EXPECT_EQ(b.state.image.config(2), 0x56);
    EXPECT_EQ(b.host.status().rfind("Chip read (data EEPROM only). ", 0), 0u) << b.host.status();

    // Only the configuration differs from what the chip reads; FLASH and EEPROM are left out.
    b.state.verify_script = split_script(
        "begin,setflashloop,temp=s09,checkflash,loop,seteepromloop,temp=s02,checkeeprom,loop,temp=s09,"
        "checkconfig1h,end");
    EXPECT_EQ(run_algorithm(b.session, Operation::Verify, *parse_regions("config")), RunOutcome::Differences);
    ASSERT_EQ(b.state.mismatch_count(), 1);
    EXPECT_EQ(b.state.mismatch_rows[0].location, "CONF Byte 300001h");
    EXPECT_EQ(run_algorithm(b.session, Operation::Verify, *parse_regions("eeprom,flash")),
              RunOutcome::Differences);
    EXPECT_EQ(b.state.mismatch_count(), 25);      // FLASH first, to the limit
    EXPECT_EQ(b.state.run_regions, kAllRegions);  // later runs cover everything again
    EXPECT_FALSE(parse_regions("flash,,config"));
    EXPECT_FALSE(parse_regions("code"));
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

TEST(ChipOperations, AnUnrecognizedWordIsRefusedBeforeTheChipIsTouched) {
    Bench b;
    b.state.erase_script = split_script("");
    EXPECT_EQ(erase_all(b.session), RunOutcome::ScriptUnrecognized);
    ASSERT_EQ(b.host.messages.size(), 1u);
    EXPECT_EQ(b.host.messages[0].text, "Unrecognized symbolic instruction ''.\r\nThe program must end.");
    EXPECT_EQ(b.host.messages[0].title, "Ardentix Quillon");
    EXPECT_EQ(b.host.status(), "Script error! The chip was not touched.");
    EXPECT_TRUE(b.port.events().empty());
}

TEST(ChipOperations, AModelWithoutPowerUpOrderIsRefusedNamingItsLine) {
    Bench b;
    b.state.voltage_sequence = 0;  // "voltageseq: vdd" selected first
    b.state.catalog.models.resize(2);
    b.state.catalog.models[1].voltageseq = "vdd";
    b.state.model_number = 1;
    b.state.program_script = split_script("begin,end");
    EXPECT_EQ(program_all(b.session), RunOutcome::ScriptRefused);
    ASSERT_EQ(b.host.messages.size(), 1u);
    EXPECT_NE(b.host.messages[0].text.find("of Test cannot run"), std::string::npos);
    EXPECT_NE(b.host.messages[0].text.find("\"voltageseq: vdd\" must read"), std::string::npos);
    EXPECT_TRUE(b.port.events().empty());
}

TEST(ChipOperations, AStopPowersTheChipDownAndSaysWhere) {
    Bench b;
    b.state.image.flash.assign(128, 0x12);
    const MemoryImage before = b.state.image;
    b.host.stop_when = [&b] { return b.host.status() == "F:41/128"; };
    b.state.program_script = split_script("begin,setflashloop,s0d-flash,loop,end");
    EXPECT_EQ(program_all(b.session), RunOutcome::Stopped);
    EXPECT_EQ(b.toggles(), 2);  // the supply is off again
    EXPECT_EQ(b.state.run_address, 42) << "the frame in progress was finished, no further one sent";
    EXPECT_EQ(b.host.status(), "Program all stopped at FLASH address 000028.");
    EXPECT_TRUE(b.host.enabled);
    EXPECT_TRUE(b.host.messages.empty());

    b.state.read_script = split_script("begin,setflashloop,flash=s09,loop,end");
    EXPECT_EQ(read_all(b.session), RunOutcome::Stopped);
    EXPECT_EQ(b.state.image.flash, before.flash);
    EXPECT_EQ(b.host.status(), "Read all stopped at FLASH address 000028. The buffers are as they were.");

    // A long wait is no reason to keep a stop waiting, nor is an erase without captions.
    b.host.stop_when = [&b] { return b.clock.now() > 1s; };
    b.state.erase_script = split_script("begin,w60000,end");
    EXPECT_EQ(erase_all(b.session), RunOutcome::Stopped);
    EXPECT_LT(b.clock.now(), 3s);
    EXPECT_EQ(b.host.status(),
              "Erase all stopped before the erase had finished; the chip may be partly erased.");
    EXPECT_EQ(b.toggles(), 6);

    // The other places a run can be stopped at, as the user knows them.
    const struct {
        const char* stop_at;  // the caption the stop comes after
        const char* script;
        const char* text;
    } places[] = {
        {"E:3/64", "begin,seteepromloop,eeprom=s02,loop,end",
         "Verify stopped in the EEPROM at address 0002."},
        {"CONF2H:", "begin,temp=s09,checkconfig1l,temp=s09,checkconfig2h,temp=s09,checkconfig3l,end",
         "Verify stopped at configuration byte CONFIG2H."},
        {"Begin verify.", "begin,w10,end", "Verify stopped before the chip was read."},
    };
    for (const auto& place : places) {
        b.host.stop_when = [&b, &place] { return b.host.status() == place.stop_at; };
        b.state.verify_script = split_script(place.script);
        EXPECT_EQ(verify_chip(b.session), RunOutcome::Stopped) << place.stop_at;
        EXPECT_EQ(b.host.status(), place.text);
    }
}

// Every memory counts by what it costs: the bits clocked at the pace the run shows, and the waits
// for the chip (power, pulses, EEPROM writes) as they are.
TEST(ChipOperations, ProgressCountsEveryMemoryByWhatItCosts) {
    Bench b;
    b.state.prog_time_ms = 2;
    b.state.image.flash[9] = 0x00;
    b.state.image.eeprom[2] = 0x00;
    b.state.program_script = split_script(
        "begin,calcflashpage,setflashloop,s0d-flash,s0d-flash,s0d-flash,s0d-flash,startprog,loop,calceeprom,"
        "seteepromloop,movlw-eeprom,waitwr,loop,s0f-config1l,startprog,end");
    const ScriptLimits limits{128, 8, 2, 1, "vddvpp"};
    const RunPlan plan = plan_run(compile_script(b.state.program_script, limits), b.state);
    // FLASH to the end of the page of address 9: two rounds of four words and a 2.1 ms pulse.
    EXPECT_EQ(plan.bytes[2], 16);
    EXPECT_DOUBLE_EQ(plan.loop[2].bits, 2 * 100.0);
    EXPECT_DOUBLE_EQ(plan.loop[2].wait_ns, 2 * 2.1e6);
    // EEPROM to address 2: each byte its command and a 4 ms write with its poll.
    EXPECT_EQ(plan.bytes[10], 3);
    EXPECT_DOUBLE_EQ(plan.loop[10].bits, 3 * 80.0);
    EXPECT_DOUBLE_EQ(plan.loop[10].wait_ns, 3 * 4e6);
    EXPECT_DOUBLE_EQ(plan.before[10].wait_ns, 100e6 + 2 * 2.1e6)
        << "the EEPROM follows the power-up and FLASH";
    EXPECT_DOUBLE_EQ(plan.total.wait_ns, 200e6 + 2 * 2.1e6 + 3 * 4e6 + 2.1e6);
    EXPECT_DOUBLE_EQ(plan.total.bits, 200 + 240 + 40);
    // Two EEPROM bytes done at 1 us per bit: what is done took as long as the run has taken.
    const double waits_done = 100e6 + 2 * 2.1e6 + 2 * 4e6;
    const double bits_done = 200 + 2 * 80;
    const auto elapsed = std::chrono::nanoseconds(static_cast<std::int64_t>(waits_done + bits_done * 1000));
    const RunProgress progress = progress_at(plan, 10, 2, elapsed);
    EXPECT_NEAR(static_cast<double>(progress.done), static_cast<double>(elapsed.count()), 2);
    EXPECT_NEAR(static_cast<double>(progress.total), plan.total.wait_ns + plan.total.bits * 1000, 2);

    // The run gives its progress with the FLASH, EEPROM and configuration captions, always onwards.
    EXPECT_EQ(program_all(b.session), RunOutcome::Completed);
    ASSERT_EQ(b.host.progress.size(), 1u + 8 + 3 + 1);
    EXPECT_EQ(b.host.progress.front().done, 0);
    for (std::size_t i = 1; i < b.host.progress.size(); ++i)
        EXPECT_GE(progress_percent(b.host.progress[i]), progress_percent(b.host.progress[i - 1])) << i;
    EXPECT_LT(progress_percent(b.host.progress[9]), 90)
        << "the EEPROM and what follows are a share of their own";

    // A run without captions has nothing to count.
    const RunPlan erase = plan_run(compile_script(split_script("begin,w20,end"), limits), b.state);
    EXPECT_EQ(progress_at(erase, 0, 0, {}).total, 0);
}

TEST(RunProgress, PercentAndTimeLeftOnceThePaceMeansSomething) {
    const struct {
        RunProgress progress;
        const char* text;
    } cases[] = {
        {{0, 0, 0s}, "0%"},
        {{9, 1000, 60s}, "0%"},       // less than a hundredth done
        {{500, 1000, 900ms}, "50%"},  // too early to tell
        {{10, 1000, 1s}, "1%, 1:39 left"},
        {{370, 1000, 90s}, "37%, 2:34 left"},
        {{1000, 32768, 10min}, "3%, 5:17:41 left"},
        {{1000, 1000, 30s}, "100%, 0:00 left"},
        {{1200, 1000, 30s}, "100%, 0:00 left"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(progress_text(c.progress), c.text) << c.text;

    // As the run goes on, the time shown only goes down, unless the estimate grew by seconds.
    ProgressTeller teller;
    EXPECT_EQ(teller.text({500, 1000, 60s}), "50%, 1:00 left");
    EXPECT_EQ(teller.text({501, 1000, 60300ms}), "50%, 1:00 left");  // 1:01 by this byte's pace
    EXPECT_EQ(teller.text({700, 1000, 175s}), "70%, 1:15 left");
    EXPECT_EQ(teller.text({800, 1000, 190s}), "80%, 0:48 left");
    EXPECT_EQ(teller.text({0, 1000, 0s}), "0%") << "a new run";
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

// A board on which the data line never moves reads device ID 0000 (low) or FFFF (high): erase and
// program refuse before their scripts run, naming the causes; a read warns and runs. Without a
// socket check, nothing asks the chip first.
TEST(ChipOperations, NoChipAnsweringStopsEraseAndProgramBeforeTheirScripts) {
    for (const bool dsr : {false, true}) {
        Bench b;
        b.port.dsr_level = dsr;
        b.state.silicon.device_id = DeviceId{0x0420, 0xFFE0};
        b.state.erase_script = split_script("begin,s00-0e3c,end");
        b.state.program_script = split_script("begin,end");
        b.state.read_script = split_script("begin,end");
        const SocketCheck check;
        b.session.socket = &check;
        for (auto operation : {erase_all, program_all}) {
            b.host.messages.clear();
            EXPECT_EQ(operation(b.session), RunOutcome::WrongChip);
            ASSERT_EQ(b.host.messages.size(), 1u);
            EXPECT_EQ(b.host.messages[0].kind, MessageKind::Error);
            EXPECT_TRUE(b.host.messages[0].text.starts_with(
                std::string("No chip answers in the socket (device ID ") + (dsr ? "FFFF" : "0000")))
                << b.host.messages[0].text;
            EXPECT_NE(b.host.messages[0].text.find("supply"), std::string::npos);
            EXPECT_EQ(b.host.status().rfind("Wrong chip in the socket: ", 0), 0u) << b.host.status();
            EXPECT_EQ(b.host.enables, b.host.disables);
        }
        EXPECT_EQ(b.toggles(), 4) << "the supply went on and off once for each ID read";
        EXPECT_EQ(read_all(b.session), RunOutcome::Completed);
        EXPECT_NE(b.host.messages.back().text.find("the read goes on"), std::string::npos);

        b.session.socket = nullptr;
        const int before = b.toggles();
        EXPECT_EQ(erase_all(b.session), RunOutcome::Completed);
        EXPECT_EQ(b.toggles(), before + 2) << "only the script's own begin and end";
    }
}

}  // namespace
}  // namespace quillon

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "backends/recording/recording_port.h"
#include "backends/sim/sim_board.h"
#include "engine/operations/chip_operations.h"
#include "engine/operations/keep_eeprom.h"
#include "hexfile/eeprom_backup.h"
#include "hexfile/hex_reader.h"
#include "model/device_file.h"
#include "model/reset_buffers.h"
#include "model/select_model.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

using Operation = RunOutcome (*)(ChipSession&);

struct NamedOperation {
    const char* name;
    Operation run;
};

constexpr NamedOperation kOperations[] = {{"program all", program_all},
                                          {"read all", read_all},
                                          {"erase all", erase_all},
                                          {"blank check", blank_check},
                                          {"verify", verify_chip}};

// The supplied PIC18F452 with a full image in its buffers.
AppState supplied_pic18f452() {
    AppState state;
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    EXPECT_NE(source, nullptr);
    const DeviceFileResult loaded =
        load_device_file(state.catalog, std::string(source ? source : ".") + "/data/quillondevices.txt");
    EXPECT_EQ(loaded.status, DeviceFileStatus::Loaded) << loaded.message;
    state.model_count = state.catalog.model_count();
    for (int m = 1; m <= state.model_count; ++m) {
        if (state.catalog.models[static_cast<std::size_t>(m)].name == "PIC18F452") state.model_number = m;
    }
    select_model(state, state.model_number);
    reset_buffers(state);
    std::mt19937 random(452);
    for (auto& byte : state.image.flash)
        byte = static_cast<std::uint8_t>(random());
    for (auto& byte : state.image.eeprom)
        byte = static_cast<std::uint8_t>(random());
    state.port_open = true;
    state.port_number = 4;
    return state;
}

TEST(ChipFaults, APortThatVanishesMidRunEndsEveryOperationWithNothingLost) {
    for (const NamedOperation& operation : kOperations) {
        // Early, in the middle, and late in the run.
        for (const std::int64_t changes : {100, 20000, 300000}) {
            AppState state = supplied_pic18f452();
            const MemoryImage image = state.image;
            FakeClock clock;
            SimLog log;
            auto chip = make_chip("PIC18F452", clock, log);
            SimBoard board(clock, log);
            board.insert_chip(chip.get());
            board.fail_after_changes(changes);
            RecordingHost host;
            ChipSession session{state, host, clock, &board};

            const RunOutcome outcome = operation.run(session);
            SCOPED_TRACE(std::string(operation.name) + " after " + std::to_string(changes) + " changes");
            if (board.change_count() < changes) {
                // The operation finished before the fault (erase is short).
                EXPECT_NE(outcome, RunOutcome::PortFailed);
                continue;
            }
            EXPECT_EQ(outcome, RunOutcome::PortFailed);
            EXPECT_FALSE(state.port_open);
            EXPECT_EQ(host.status(), "Serial port COM4 error!");
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].text.find("stopped working"), std::string::npos);
            EXPECT_TRUE(host.enabled);
            EXPECT_EQ(state.image.flash, image.flash);
            EXPECT_EQ(state.image.eeprom, image.eeprom);
            EXPECT_EQ(state.image.config, image.config);
            EXPECT_EQ(board.change_count(), changes);  // nothing more was tried on the dead port
        }
    }
}

TEST(ChipFaults, APortLostAfterTheEraseOfAProgramKeepingTheEepromLeavesItsBytesInTheCopy) {
    AppState state = supplied_pic18f452();
    FakeClock clock;
    SimLog log;
    auto chip = make_chip("PIC18F452", clock, log);
    std::vector<std::uint8_t> old_eeprom(chip->memory().eeprom.size());
    for (std::size_t i = 0; i < old_eeprom.size(); ++i)
        old_eeprom[i] = static_cast<std::uint8_t>(i * 7);
    chip->memory().eeprom = old_eeprom;
    SimBoard board(clock, log);
    board.insert_chip(chip.get());
    RecordingHost host;
    ChipSession session{state, host, clock, &board};
    TempDir folder;
    const std::string image_path = folder.file("board.hex");
    std::ofstream(folder.file("board-eeprom-backup.hex")) << "an older copy, never overwritten";

    const RunOutcome outcome = program_keeping_eeprom(session, [&](const MemoryImage& copy) {
        const Result<std::string> saved = save_eeprom_backup(image_path, copy);
        board.fail_after_changes(20000);  // in the FLASH writes, after the whole-chip erase
        return saved.ok() ? EepromBackupResult{*saved, {}} : EepromBackupResult{{}, saved.error().message};
    });
    EXPECT_EQ(outcome, RunOutcome::PortFailed);
    EXPECT_TRUE(log.contains("bulk erase complete: whole chip"));
    EXPECT_EQ(chip->memory().eeprom, std::vector<std::uint8_t>(old_eeprom.size(), 0xFF));

    const std::string copy_path = folder.file("board-eeprom-backup-2.hex");
    ASSERT_FALSE(host.messages.empty());
    EXPECT_NE(host.messages.back().text.find(copy_path), std::string::npos) << host.messages.back().text;
    MemoryImage copy;
    reset_buffers(state);
    copy = state.image;
    ASSERT_TRUE(read_hex_file(copy_path, copy).accepted());
    EXPECT_EQ(copy.eeprom, old_eeprom);
}

TEST(ChipFaults, AChipThatNeverClearsWrIsPoweredDownAndReported) {
    AppState state = supplied_pic18f452();
    RecordingPort port;
    port.dsr_level = true;  // every read, the WR poll included, answers FF
    port.keep_events = false;
    FakeClock clock;
    RecordingHost host;
    ChipSession session{state, host, clock, &port};
    EXPECT_EQ(program_all(session), RunOutcome::Fault);
    EXPECT_EQ(host.status(), "Operation stopped! The chip was powered down.");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("WR"), std::string::npos);
    EXPECT_TRUE(host.enabled);
}

TEST(ChipFaults, AChipThatDoesNotAnswerIsReportedNotBelieved) {
    for (const bool level : {false, true}) {
        SCOPED_TRACE(level ? "DATA IN stuck at 1" : "DATA IN stuck at 0");
        AppState state = supplied_pic18f452();
        RecordingPort port;
        port.dsr_level = level;
        port.keep_events = false;
        FakeClock clock;
        RecordingHost host;
        ChipSession session{state, host, clock, &port};

        // Blank check: stuck at 0 differs from every erased byte; stuck at 1 still differs from the
        // erased configuration values that are not FF.
        EXPECT_EQ(blank_check(session), RunOutcome::Differences);
        EXPECT_EQ(host.status().rfind("Chip is not blank. ", 0), 0u);

        host.messages.clear();
        EXPECT_EQ(verify_chip(session), RunOutcome::Differences);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text.rfind("Chip verify failed:", 0), 0u);
        EXPECT_EQ(state.mismatch_count(), 25);

        // Read all stores what the line shows, as the user would then see in the tables.
        EXPECT_EQ(read_all(session), RunOutcome::Completed);
        EXPECT_EQ(state.image.flash, FlashBuffer(state.image.flash.size(), level ? 0xFF : 0x00));
    }
}

}  // namespace
}  // namespace quillon

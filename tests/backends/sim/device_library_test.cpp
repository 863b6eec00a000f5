// The supplied device library's scripts, run by the chip operations against the simulated chip of
// every model the simulator knows.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/chip_operations.h"
#include "engine/mismatch_report.h"
#include "model/device_file.h"
#include "model/reset_buffers.h"
#include "model/select_model.h"
#include "sim_bench.h"

namespace quillon {
namespace {

// The supplied library loaded into the state, with the port taken as open.
void load_supplied_library(const char* source_dir, AppState& state) {
    ASSERT_EQ(load_device_file(state.catalog, std::string(source_dir) + "/data/quillondevices.txt").status,
              DeviceFileStatus::Loaded);
    state.model_count = state.catalog.model_count();
    state.port_open = true;
}

TEST(DeviceLibrary, SuppliedScriptsWorkOnTheSimulatedChips) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    AppState state;
    ASSERT_NO_FATAL_FAILURE(load_supplied_library(source, state));
    int simulated = 0;
    for (int number = 1; number <= state.model_count; ++number) {
        select_model(state, number);
        if (!find_chip_model(state.model_name)) continue;
        ++simulated;
        SCOPED_TRACE(state.model_name);
        SimBench t(state.model_name);
        ChipSession session{state, t.host, t.clock, &t.board};
        reset_buffers(state);
        for (std::size_t i = 0; i < 300; ++i)
            state.image.flash[i * 5] = static_cast<std::uint8_t>(i);
        state.image.eeprom[3] = 0x33;
        state.image.eeprom.back() = 0x00;
        state.image.config(2) = 0x22;
        state.image.config(12) = 0xA0;  // CONFIG6H with WRTC = 0: the script writes it last
        const MemoryImage written = state.image;

        EXPECT_EQ(erase_all(session), RunOutcome::Completed);
        EXPECT_EQ(blank_check(session), RunOutcome::Completed) << mismatch_report(state.mismatch_rows);
        EXPECT_EQ(program_all(session), RunOutcome::Completed);
        EXPECT_EQ(verify_chip(session), RunOutcome::Completed) << mismatch_report(state.mismatch_rows);
        EXPECT_EQ(read_all(session), RunOutcome::Completed);
        EXPECT_EQ(state.image.flash, written.flash);
        EXPECT_EQ(state.image.eeprom, written.eeprom);
        EXPECT_EQ(state.image.config, written.config);
        EXPECT_EQ(t.log.refusal_count(), 0u) << t.log.to_text();

        // A programming time below P9 is caught by the verify.
        erase_all(session);
        state.prog_time_ms = 0;
        program_all(session);
        EXPECT_EQ(verify_chip(session), RunOutcome::Differences);
        EXPECT_TRUE(t.log_has("shorter than P9"));
    }
    EXPECT_GT(simulated, 0);
}

TEST(DeviceLibrary, VerifyPassesWhenAHexFileFillsConfigurationBytesThePartLacks) {
    // Compilers write FF into configuration bytes a part does not have; those always read 00.
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    AppState state;
    ASSERT_NO_FATAL_FAILURE(load_supplied_library(source, state));
    for (int number = 1; number <= state.model_count; ++number) {
        select_model(state, number);
        const auto chip_model = find_chip_model(state.model_name);
        if (!chip_model) continue;
        SCOPED_TRACE(state.model_name);
        SimBench t(state.model_name);
        ChipSession session{state, t.host, t.clock, &t.board};
        reset_buffers(state);
        state.image.flash[0] = 0x12;
        for (int k = 1; k <= kConfigByteCount; ++k) {
            if (!chip_model->has_config(k)) state.image.config(k) = 0xFF;
        }
        EXPECT_EQ(program_all(session), RunOutcome::Completed);
        EXPECT_EQ(verify_chip(session), RunOutcome::Completed) << mismatch_report(state.mismatch_rows);
        // A byte the part has is still verified.
        state.image.config(2) ^= 0x01;
        EXPECT_EQ(verify_chip(session), RunOutcome::Differences);
    }
}

}  // namespace
}  // namespace quillon

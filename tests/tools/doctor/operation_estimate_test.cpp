// What program, read and verify of a full chip ask of the port, and what that costs.
#include "tools/doctor/operation_estimate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "model/device_file.h"
#include "model/select_model.h"

namespace quillon {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

// The supplied device library with `model` selected; empty when the library is not found.
std::optional<AppState> supplied_model(const std::string& model) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) return std::nullopt;
    AppState state;
    if (load_device_file(state.catalog, std::string(source) + "/data/quillondevices.txt").status !=
        DeviceFileStatus::Loaded)
        return std::nullopt;
    for (int number = 1; number <= state.catalog.model_count(); ++number) {
        if (state.catalog.models[static_cast<std::size_t>(number)].name != model) continue;
        select_model(state, number);
        return state;
    }
    return std::nullopt;
}

TEST(OperationEstimate, CountsTheLineOperationsOfAFullChip) {
    const std::optional<AppState> state = supplied_model("PIC18F452");
    if (!state) GTEST_SKIP() << "no supplied device library";
    const AppState before = *state;
    const OperationCounts counts = count_operations(*state, typical_uart_cost());
    ASSERT_TRUE(counts.unavailable.empty()) << counts.unavailable;
    EXPECT_EQ(counts.model, "PIC18F452");
    ASSERT_EQ(counts.operations.size(), 3u);
    EXPECT_EQ(counts.operations[0].operation, Operation::Program);
    EXPECT_EQ(counts.operations[1].operation, Operation::Read);
    EXPECT_EQ(counts.operations[2].operation, Operation::Verify);
    // Reading a bit samples DATA IN twice, and every FLASH and EEPROM byte has 8 bits.
    const std::int64_t bytes = state->flash_size + state->eeprom_size;
    for (const OperationCount& count : {counts.operations[1], counts.operations[2]}) {
        EXPECT_GE(count.dsr_reads, 16 * bytes) << operation_name(count.operation);
        EXPECT_GT(count.line_changes, 3 * count.dsr_reads / 2) << operation_name(count.operation);
    }
    // Programming waits the programming time for each 8-byte page of FLASH at least.
    const OperationCount& program = counts.operations[0];
    EXPECT_GE(program.waits, std::chrono::milliseconds(state->prog_time_ms) * (state->flash_size / 8));
    EXPECT_GT(program.line_changes, 20 * state->flash_size / 8);
    EXPECT_EQ(state->image.flash, before.image.flash) << "the caller's state is left alone";
    EXPECT_EQ(state->port_open, before.port_open);
}

TEST(OperationEstimate, WritePollsFollowThePaceOfThePort) {
    // A data EEPROM write takes milliseconds: a fast port polls the chip many times meanwhile, a
    // USB adapter once or twice. Only the program script polls, so read and verify count alike.
    const std::optional<AppState> state = supplied_model("PIC18F452");
    if (!state) GTEST_SKIP() << "no supplied device library";
    const OperationCounts uart = count_operations(*state, typical_uart_cost());
    const OperationCounts usb = count_operations(*state, typical_usb_cost());
    ASSERT_EQ(uart.operations.size(), 3u);
    ASSERT_EQ(usb.operations.size(), 3u);
    const std::int64_t eeprom_writes = state->eeprom_size;
    EXPECT_GT(uart.operations[0].line_changes, usb.operations[0].line_changes + 10 * eeprom_writes);
    EXPECT_EQ(uart.operations[1].line_changes, usb.operations[1].line_changes);
    EXPECT_EQ(uart.operations[2].dsr_reads, usb.operations[2].dsr_reads);
    // At 1 ms a change a poll outlasts the write: the EEPROM costs hardly more than its writes.
    const OperationCounts usb_without_polls = count_operations(*state, {"fast polls", 1e6, 1e6});
    EXPECT_EQ(usb.operations[0].line_changes, usb_without_polls.operations[0].line_changes);
}

TEST(OperationEstimate, AModelTheSimulatorDoesNotKnowHasNoCounts) {
    std::optional<AppState> state = supplied_model("PIC18F452");
    if (!state) GTEST_SKIP() << "no supplied device library";
    state->model_name = "PIC18F9999";
    const OperationCounts counts = count_operations(*state, typical_uart_cost());
    EXPECT_TRUE(counts.operations.empty());
    EXPECT_EQ(counts.unavailable, "the simulated board has no PIC18F9999 chip to count on");
}

TEST(OperationEstimate, AScriptThatDoesNotRunThroughGivesNoCounts) {
    std::optional<AppState> state = supplied_model("PIC18F452");
    if (!state) GTEST_SKIP() << "no supplied device library";
    state->verify_script = {"begin", "nosuchword", "end"};
    const OperationCounts counts = count_operations(*state, typical_uart_cost());
    EXPECT_TRUE(counts.operations.empty());
    EXPECT_THAT(counts.unavailable, HasSubstr("the verify script of PIC18F452 did not run through"));
    EXPECT_THAT(counts.unavailable, HasSubstr("check-devices"));
}

TEST(OperationEstimate, TimeIsChangesAndReadsAtTheirCostPlusTheWaits) {
    const OperationCount count{Operation::Program, 1000, 200, 5ms};
    EXPECT_EQ(estimated_time(count, {"port", 5, 3}), 10600us);
    EXPECT_EQ(estimated_time(count, typical_usb_cost()), 1205ms);
    EXPECT_EQ(estimated_time(count, typical_uart_cost()), 11ms);
}

TEST(OperationEstimate, DurationsReadAsSecondsMinutesOrHours) {
    EXPECT_EQ(run_time_text(400ms), "0.4 s");
    EXPECT_EQ(run_time_text(12345ms), "12.3 s");
    EXPECT_EQ(run_time_text(59960ms), "1 min 0 s");
    EXPECT_EQ(run_time_text(1100s), "18 min 20 s");
    EXPECT_EQ(run_time_text(7500s), "2 h 5 min");
}

}  // namespace
}  // namespace quillon

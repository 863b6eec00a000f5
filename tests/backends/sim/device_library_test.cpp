// The supplied device library's scripts, run by the chip operations against the simulated chip of
// every model the simulator knows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/hex_text.h"
#include "engine/operations/chip_operations.h"
#include "engine/script/mismatch_report.h"
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
        state.image.config(12) = 0xC0;  // CONFIG6H with WRTC = 0: the script writes it last
        MemoryImage written = state.image;
        for (int k = 1; k <= kConfigByteCount; ++k)
            written.config(k) &= state.silicon.bits(k);  // the chip keeps only these

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

// Family B spares the EEPROM with its partial erase keys (no copy needed); A and C read it, save a
// copy and write it back after the whole-chip erase.
TEST(DeviceLibrary, ProgrammingThatKeepsTheEepromLeavesTheChipsBytesOnEveryModel) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    AppState state;
    ASSERT_NO_FATAL_FAILURE(load_supplied_library(source, state));
    for (int number = 1; number <= state.model_count; ++number) {
        select_model(state, number);
        if (!find_chip_model(state.model_name)) continue;
        SCOPED_TRACE(state.model_name);
        SimBench t(state.model_name);
        ChipSession session{state, t.host, t.clock, &t.board};
        reset_buffers(state);
        state.image.eeprom[0] = 0x5A;
        state.image.eeprom.back() = 0x00;
        ASSERT_EQ(program_all(session), RunOutcome::Completed);
        const std::vector<std::uint8_t> chip_eeprom = t.chip->memory().eeprom;

        for (auto& byte : state.image.eeprom)
            byte = 0x77;  // ignored
        state.image.flash[9] = 0x42;
        int copies = 0;
        const ProgramChoice choice{true, [&](const MemoryImage& chip) {
                                       ++copies;
                                       EXPECT_EQ(chip.eeprom, chip_eeprom);
                                       return EepromBackupResult{"copy.hex", {}};
                                   }};
        EXPECT_EQ(program_and_verify(session, {}, choice), RunOutcome::Completed)
            << mismatch_report(state.mismatch_rows);
        EXPECT_EQ(t.chip->memory().eeprom, chip_eeprom);
        EXPECT_EQ(t.chip->memory().flash[9], 0x42);
        EXPECT_EQ(copies, t.chip->model().family == ChipFamily::B ? 0 : 1);
        EXPECT_EQ(state.image.eeprom, std::vector<std::uint8_t>(state.image.eeprom.size(), 0x77));
        EXPECT_EQ(t.log.refusal_count(), 0u) << t.log.to_text();
    }
}

TEST(DeviceLibrary, VerifyComparesConfigurationBytesUnderTheBitsThePartHas) {
    // Compilers write FF into configuration bytes and bits a part does not have; those read 0.
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
        for (int k = 1; k < kFirstProtectionByte; ++k)
            state.image.config(k) |= ~chip_model->config_bits[static_cast<std::size_t>(k - 1)] & 0xFF;
        EXPECT_EQ(program_all(session), RunOutcome::Completed);
        EXPECT_EQ(verify_chip(session), RunOutcome::Completed) << mismatch_report(state.mismatch_rows);
        // A bit the part has is still verified, and the report shows the bits compared.
        state.image.config(3) ^= 0x01;
        EXPECT_EQ(verify_chip(session), RunOutcome::Differences);
        EXPECT_NE(mismatch_report(state.mismatch_rows)
                      .find("CONF Byte 300002h,   " + hex2h(t.chip->memory().config[2]) + ",   " +
                            hex2h((state.image.config(3)) & chip_model->config_bits[2]) + ","),
                  std::string::npos)
            << mismatch_report(state.mismatch_rows);
    }
}

// Each row breaks the supplied library in one place, as a script author might; the chip must refuse
// it as silicon would, so that verify or the read-back shows it (and the log says why, where given).
struct Mistake {
    const char* what;
    const char* model;
    const char* from;  // every occurrence in the device file is replaced
    const char* to;
    const char* logged;
};

constexpr const char* kConfig7Then6 =
    "s00-0e0c,s00-6ef6,s0f-config7l,startprog,s00-0e0d,s00-6ef6,s0f-config7h,startprog,"
    "s00-0e0a,s00-6ef6,s0f-config6l,startprog,s00-0e0b,s00-6ef6,s0f-config6h,startprog";
constexpr const char* kConfig6Then7 =
    "s00-0e0a,s00-6ef6,s0f-config6l,startprog,s00-0e0b,s00-6ef6,s0f-config6h,startprog,"
    "s00-0e0c,s00-6ef6,s0f-config7l,startprog,s00-0e0d,s00-6ef6,s0f-config7h,startprog";

const Mistake kMistakes[] = {
    {"no programming pulse", "PIC18F452", "s0f-flash,startprog,", "s0f-flash,", "shorter than P9"},
    {"last write without start-programming", "PIC18F4550", "s0f-flash,startprog,", "s0d-flash,startprog,",
     nullptr},
    {"wrong erase key", "PIC18F452", "s0c-0080", "s0c-0085", "not a family A key"},
    {"erase wait too short", "PIC18F4550", "w20", "w2", "left unerased"},
    {"EEPROM write without WREN", "PIC18F452", "s00-84a6,", "", "WREN = 0"},
    {"EEPROM write without the A/C unlock", "PIC18F1320", "s00-0e55,s00-6ea7,s00-0eaa,s00-6ea7,", "",
     "55h/AAh unlock"},
    {"B shift-out without its NOP", "PIC18F4550", "s00-6ef5,s00-0000,", "s00-6ef5,", nullptr},
    {"B write poll with a stale first read", "PIC18F2520", "s00-0e02,s00-6ef5,", "", "still running"},
    {"a read that does not advance TBLPTR", "PIC18F452", "flash=s09", "flash=s08", nullptr},
    {"PGC rising sooner than P10", "PIC18F4550", "discharge: 100", "discharge: 50", "sooner than P10"},
    {"configuration pulse below 5 ms", "PIC18F2220", "configpulse: 5", "configpulse: 2",
     "for a configuration byte"},
    {"CONFIG6H (WRTC) before CONFIG7", "PIC18F452", kConfig7Then6, kConfig6Then7, "write-protected"},
    {"configuration written with CFGS = 0", "PIC18F1220", "s00-8ea6,s00-8ca6,s00-ef00",
     "s00-8ea6,s00-9ca6,s00-ef00", "CFGS = 0"},
};

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(DeviceLibrary, TheChipRefusesWhatSiliconRefuses) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    std::ifstream file(std::string(source) + "/data/quillondevices.txt", std::ios::binary);
    const std::string library((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const Mistake& mistake : kMistakes) {
        SCOPED_TRACE(mistake.what);
        const std::string broken = replaced(library, mistake.from, mistake.to);
        ASSERT_NE(broken, library) << "the row must change the library";
        AppState state;
        ASSERT_EQ(parse_device_text(state.catalog, broken), DeviceFileStatus::Loaded);
        state.model_count = state.catalog.model_count();
        state.port_open = true;
        int number = 1;
        while (number <= state.model_count &&
               state.catalog.models[static_cast<std::size_t>(number)].name != mistake.model)
            ++number;
        ASSERT_LE(number, state.model_count);
        select_model(state, number);
        SimBench t(mistake.model);
        ChipMemory& memory = t.chip->memory();
        std::fill(memory.flash.begin(), memory.flash.end(), 0x00);  // a used chip: erasing matters
        ChipSession session{state, t.host, t.clock, &t.board};
        reset_buffers(state);
        for (std::size_t i = 0; i < 200; ++i)
            state.image.flash[i * 3] = static_cast<std::uint8_t>(i + 1);
        for (std::size_t i = 0; i < 8; ++i)
            state.image.eeprom[i] = static_cast<std::uint8_t>(0x10 + i);
        state.image.config(12) &= ~0x20;  // CONFIG6H: WRTC on, so the order of the writes matters
        state.image.config(13) &= ~0x01;  // CONFIG7L: EBTR0 on, a setting the chip must keep
        const MemoryImage written = state.image;

        erase_all(session);
        program_all(session);
        const RunOutcome verified = verify_chip(session);
        read_all(session);
        const bool read_differs = state.image.flash != written.flash ||
                                  state.image.eeprom != written.eeprom ||
                                  state.image.config != written.config;
        EXPECT_TRUE(verified != RunOutcome::Completed || read_differs) << t.log.to_text();
        if (mistake.logged != nullptr) {
            EXPECT_TRUE(t.log_has(mistake.logged)) << t.log.to_text();
        }
    }
}

}  // namespace
}  // namespace quillon

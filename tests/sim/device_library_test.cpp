// The supplied device library's scripts, run word by word against the simulated chip of each model
// the simulator knows. The runner below does what the script language says for the words the
// library uses; it stands in for the engine's interpreter so the library is checked on its own.
#include <gtest/gtest.h>

#include <cstdlib>

#include "buffers/hex_text.h"
#include "buffers/reset_buffers.h"
#include "devices/device_file.h"
#include "devices/select_model.h"
#include "sim_bench.h"
#include "startup/ascii.h"
#include "startup/numbers.h"

namespace quillon {
namespace {

// Number k (1..14) of a "configNx" name at `pos` in `word`, 0 when there is none.
int config_number(const std::string& word, std::size_t pos) {
    if (word.size() < pos + 8 || word.compare(pos, 6, "config") != 0) return 0;
    const int n = word[pos + 6] - '0';
    const char half = word[pos + 7];
    if (n < 1 || n > 7 || (half != 'l' && half != 'h')) return 0;
    return 2 * n - (half == 'l' ? 1 : 0);
}

// Runs `script`; returns the number of differences the check words found.
int run(ProgrammerLines& lines, AppState& s, const AlgorithmScript& script) {
    MemoryImage& m = s.image;
    int mismatches = 0;
    std::int32_t address = 0, last_read = 0, loop_start = 0, loop_end = 0;
    std::int32_t last_flash = s.flash_size - 1, last_eeprom = s.eeprom_size - 1;
    auto last_not_ff = [](const std::vector<std::uint8_t>& bytes) {
        std::int32_t a = static_cast<std::int32_t>(bytes.size()) - 1;
        while (a >= 0 && bytes[static_cast<std::size_t>(a)] == 0xFF)
            --a;
        return a;
    };
    auto byte_at = [](std::vector<std::uint8_t>& bytes, std::int32_t a) -> std::uint8_t& {
        return bytes.at(static_cast<std::size_t>(a));
    };
    auto command = [](const std::string& w, std::size_t pos) {
        return parse_hex2(ascii_upper(w.substr(pos, 2)));
    };
    auto check = [&](int read, int expected) { mismatches += read != expected ? 1 : 0; };
    for (std::size_t pc = 0; pc < script.size(); ++pc) {
        const std::string& w = script[pc];
        const auto ends = [&w](std::string_view tail) {
            return w.size() >= tail.size() && w.ends_with(tail);
        };
        if (w == "begin") {
            lines.power_up(s.voltage_sequence);
        } else if (w == "end") {
            lines.power_down();
        } else if (w == "startprog") {
            lines.programming_pulse(s.prog_time_ms);
        } else if (w == "calcflashpage") {
            const std::int32_t last = last_not_ff(m.flash);
            last_flash = last < 0 ? s.page_size - 1 : last - last % s.page_size + s.page_size - 1;
        } else if (w == "calceeprom") {
            last_eeprom = last_not_ff(m.eeprom);
        } else if (w == "setflashloop" || w == "seteepromloop") {
            loop_start = static_cast<std::int32_t>(pc);
            loop_end = w == "setflashloop" ? last_flash : last_eeprom;
            if (address > loop_end) {
                address = 0;
                while (script[pc] != "loop")
                    ++pc;
            }
        } else if (w == "loop") {
            pc = static_cast<std::size_t>(loop_start) - 1;
        } else if (w.starts_with("movlw-")) {
            const std::int32_t shift = w == "movlw-upper" ? 16 : w == "movlw-high" ? 8 : 0;
            const std::int32_t value =
                w == "movlw-eeprom" ? byte_at(m.eeprom, address++) : (address >> shift) & 0xFF;
            lines.send_command(0, 0x0E00 + value);
        } else if (w == "waitwr") {
            do {
                lines.send_command(0, 0x50A6);
                lines.send_command(0, 0x6EF5);
                last_read = lines.read_byte(2);
            } while ((last_read & 2) != 0);
        } else if (w[0] == 's' && ends("-flash")) {
            lines.send_command(command(w, 1),
                               byte_at(m.flash, address) + 256 * byte_at(m.flash, address + 1));
            address += 2;
        } else if (w[0] == 's' && config_number(w, 4) != 0) {
            lines.send_command(command(w, 1), 257 * m.config(config_number(w, 4)));
        } else if (w.starts_with("flash=s")) {
            byte_at(m.flash, address++) = static_cast<std::uint8_t>(lines.read_byte(command(w, 7)));
        } else if (w.starts_with("eeprom=s")) {
            byte_at(m.eeprom, address++) = static_cast<std::uint8_t>(lines.read_byte(command(w, 8)));
        } else if (config_number(w, 0) != 0 && w.size() == 12) {
            m.config(config_number(w, 0)) = lines.read_byte(command(w, 10));
        } else if (w.starts_with("temp=s")) {
            last_read = lines.read_byte(command(w, 6));
        } else if (w == "checkblankflash" || w == "checkblankeeprom") {
            ++address;
            check(last_read, 0xFF);
        } else if (w == "checkflash") {
            check(last_read, byte_at(m.flash, address++));
        } else if (w == "checkeeprom") {
            check(last_read, byte_at(m.eeprom, address++));
        } else if (w.starts_with("checkblankconfig")) {
            check(last_read, s.erased_config(config_number(w, 10)));
        } else if (w.starts_with("checkconfig")) {
            check(last_read, m.config(config_number(w, 5)));
        } else if (w.size() == 8 && w[0] == 's' && w[3] == '-') {
            lines.send_command(command(w, 1), parse_hex4(ascii_upper(w.substr(4))));
        } else if (w[0] == 'w') {
            lines.clock().sleep_ms(leading_int32(w.substr(1)));
        } else {
            ADD_FAILURE() << "word the runner does not know: " << w;
        }
    }
    return mismatches;
}

TEST(DeviceLibrary, SuppliedScriptsWorkOnTheSimulatedChips) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
    AppState state;
    ASSERT_EQ(load_device_file(state.catalog, std::string(source) + "/data/quillondevices.txt").status,
              DeviceFileStatus::Loaded);
    state.model_count = state.catalog.model_count();
    for (int number = 1; number <= state.model_count; ++number) {
        select_model(state, number);
        if (!find_chip_model(state.model_name)) continue;
        SCOPED_TRACE(state.model_name);
        SimBench t(state.model_name);
        reset_buffers(state);
        for (std::size_t i = 0; i < 300; ++i)
            state.image.flash[i * 5] = static_cast<std::uint8_t>(i);
        state.image.eeprom[3] = 0x33;
        state.image.eeprom.back() = 0x00;
        state.image.config(2) = 0x22;
        state.image.config(12) = 0xA0;  // CONFIG6H with WRTC = 0, written last
        const MemoryImage written = state.image;

        EXPECT_EQ(run(t.lines, state, state.erase_script), 0);
        EXPECT_EQ(run(t.lines, state, state.blank_check_script), 0);
        EXPECT_EQ(run(t.lines, state, state.program_script), 0);
        EXPECT_EQ(run(t.lines, state, state.verify_script), 0);
        reset_buffers(state);
        EXPECT_EQ(run(t.lines, state, state.read_script), 0);
        EXPECT_EQ(state.image.flash, written.flash);
        EXPECT_EQ(state.image.eeprom, written.eeprom);
        EXPECT_EQ(state.image.config, written.config);
        EXPECT_EQ(t.log.refusal_count(), 0u) << t.log.to_text();

        // A programming time below P9 is caught by the verify.
        run(t.lines, state, state.erase_script);
        state.prog_time_ms = 0;
        run(t.lines, state, state.program_script);
        EXPECT_GT(run(t.lines, state, state.verify_script), 0);
        EXPECT_TRUE(t.log_has("shorter than P9"));
    }
}

}  // namespace
}  // namespace quillon

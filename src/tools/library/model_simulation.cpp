#include "tools/library/model_simulation.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "backends/sim/chip_model.h"
#include "backends/sim/pic18_chip.h"
#include "backends/sim/pic18_registers.h"
#include "backends/sim/simulated_board.h"
#include "base/hex_text.h"
#include "base/silent_host.h"
#include "engine/operations/chip_operations.h"
#include "engine/operations/socket_check.h"
#include "model/reset_buffers.h"
#include "model/silicon_lines.h"

namespace quillon {

namespace {

std::string flash_location(std::size_t address) {
    return "FLASH Byte " + hex6h(static_cast<std::int32_t>(address));
}
std::string eeprom_location(std::size_t address) {
    return "EEPROM Byte " + hex4h(static_cast<std::int32_t>(address));
}
std::string config_location(int k) {
    return "CONF Byte " + hex6h(kConfigBaseAddress + k - 1);
}

std::string first_line(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

std::uint8_t random_byte(std::mt19937& random) {
    return static_cast<std::uint8_t>(random() & 0xFF);
}

// A random image that fills the whole chip: the last FLASH and EEPROM bytes are never FF, so no
// erased tail shortens a loop.
MemoryImage random_image(AppState& state, const ChipModel& chip, std::mt19937& random) {
    reset_buffers(state);
    MemoryImage image = state.image;
    for (std::uint8_t& byte : image.flash)
        byte = random_byte(random);
    for (std::uint8_t& byte : image.eeprom)
        byte = random_byte(random);
    if (!image.flash.empty() && image.flash.back() == kErasedByte) image.flash.back() = 0x00;
    if (!image.eeprom.empty() && image.eeprom.back() == kErasedByte) image.eeprom.back() = 0x00;
    // Only the bits the part implements, and no protection: a protected chip could not be verified.
    for (int k = 1; k <= kConfigByteCount; ++k) {
        const std::uint8_t bits = chip.config_bits[static_cast<std::size_t>(k - 1)];
        image.config(k) = k >= kFirstProtectionByte ? bits : random_byte(random) & bits;
    }
    return image;
}

// Where two byte lists first differ, and in how many places; nothing when they are equal.
struct Difference {
    std::size_t index;
    std::size_t count;
};

std::optional<Difference> compare_bytes(const std::vector<std::uint8_t>& got,
                                        const std::vector<std::uint8_t>& want) {
    std::optional<Difference> difference;
    for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i) {
        if (got[i] == want[i]) continue;
        if (!difference) difference = Difference{i, 0};
        ++difference->count;
    }
    return difference;
}

// One virtual board with one virtual chip, on which the model's operations run in turn.
class VirtualBench {
  public:
    VirtualBench(AppState& state, const ChipModel& model, SimulationReport& report)
        : state_(state), report_(report), sim_(build_simulated_board(model, {clock_, log_})) {
        state_.port_open = true;
    }

    Pic18Chip& chip() { return chip_; }

    void fault(Operation operation, std::string text) {
        report_.faults.push_back({operation, -1, std::move(text)});
    }

    // Runs `operation`; reports a refusal of the chip and a chip left powered as faults. Returns
    // the outcome, or nothing when one of those faults happened.
    std::optional<RunOutcome> run(Operation operation) {
        return run_checked(operation, [this, operation] { return run_algorithm(session_, operation); });
    }

    // Programs with verify, the protection of the image held back until the rest is verified.
    std::optional<RunOutcome> program_and_verify() {
        return run_checked(Operation::Program, [this] { return quillon::program_and_verify(session_); });
    }

    const std::string& last_message() const { return host_.last_message; }

    // The model's "deviceid:" must name the chip it is for.
    void check_device_id() {
        const std::optional<DeviceId> id = state_.silicon.device_id;
        const std::optional<int> word = read_device_id(session_);
        if (!id || !word || id->matches(*word)) return;
        report_.faults.push_back({{},
                                  -1,
                                  "deviceid: " + hex4(id->id) + " " + hex4(id->mask) +
                                      ", but the simulated " + chip_.model().name + " answers " +
                                      hex4(*word)});
    }

    template <typename Run>
    std::optional<RunOutcome> run_checked(Operation operation, Run run_operation) {
        log_.clear();
        host_.last_message.clear();
        const std::chrono::nanoseconds start = clock_.now();
        const RunOutcome outcome = run_operation();
        record_time(operation, clock_.now() - start);
        bool sound = true;
        for (const SimLog::Entry& entry : log_.entries()) {
            if (entry.kind != SimLog::Kind::Refusal) continue;
            fault(operation, "the chip refused: " + entry.text);
            sound = false;
            break;
        }
        if (board_.supply_on()) {
            fault(operation, "the run left the chip powered");
            board_.write_byte(1);  // switch it off, as the next "begin" expects
            sound = false;
        }
        if (!sound) return std::nullopt;
        return outcome;
    }

    // Runs `operation` and reports anything but a clean completion.
    bool run_to_completion(Operation operation) {
        const std::optional<RunOutcome> outcome = run(operation);
        if (!outcome) return false;
        if (*outcome == RunOutcome::Completed) return true;
        fault(operation, outcome_text(*outcome));
        return false;
    }

    std::string outcome_text(RunOutcome outcome) const {
        if (outcome == RunOutcome::Differences) {
            std::string text = "found " + std::to_string(state_.mismatch_count()) + " difference" +
                               (state_.mismatch_count() == 1 ? "" : "s");
            if (!state_.mismatch_rows.empty()) {
                const MismatchRow& row = state_.mismatch_rows.front();
                text += ", first at " + row.location + ": read " + row.read_value + ", expected " +
                        row.expected_value;
            }
            return text;
        }
        const std::string message = first_line(host_.last_message);
        return "the run stopped" + (message.empty() ? std::string() : ": " + message);
    }

  private:
    void record_time(Operation operation, std::chrono::nanoseconds time) {
        for (const OperationTime& known : report_.times)
            if (known.operation == operation) return;
        report_.times.push_back({operation, time});
    }

    AppState& state_;
    SimulationReport& report_;
    FakeClock clock_;
    SimLog log_;
    SimulatedBoard sim_;
    Pic18Chip& chip_ = sim_.chip();
    SimBoard& board_ = sim_.board();
    SilentHost host_;
    ChipSession session_{state_, host_, clock_, &board_};
};

// A chip full of random bytes, its configuration write-protected as well, so that an erase has
// everything to do and a check something to find where it does not.
void fill_chip_randomly(Pic18Chip& chip, std::mt19937& random) {
    ChipMemory& memory = chip.memory();
    for (std::uint8_t& byte : memory.flash)
        byte = random_byte(random);
    for (std::uint8_t& byte : memory.eeprom)
        byte = random_byte(random);
    for (std::size_t k = 0; k < memory.config.size(); ++k)
        memory.config[k] = random_byte(random) & chip.model().config_bits[k];
    std::uint8_t& config6h = memory.config[static_cast<std::size_t>(pic18::kConfig6hIndex)];
    config6h = static_cast<std::uint8_t>(config6h & ~pic18::kWrtc);
}

// Where `got` first differs from `image`: "<got> at <location> where the image has <want>", and in
// how many bytes in all; nothing when they are equal.
std::optional<std::string> image_difference(const MemoryImage& got, const MemoryImage& image) {
    std::size_t count = 0;
    std::string first;
    const auto note = [&](const std::string& location, int got_value, int want_value) {
        if (count++ == 0) {
            first = hex2h(got_value) + " at " + location + " where the image has " + hex2h(want_value);
        }
    };
    const std::optional<Difference> flash = compare_bytes(got.flash, image.flash);
    if (flash) {
        note(flash_location(flash->index), got.flash[flash->index], image.flash[flash->index]);
        count += flash->count - 1;
    }
    const std::optional<Difference> eeprom = compare_bytes(got.eeprom, image.eeprom);
    if (eeprom) {
        note(eeprom_location(eeprom->index), got.eeprom[eeprom->index], image.eeprom[eeprom->index]);
        count += eeprom->count - 1;
    }
    for (int k = 1; k <= kConfigByteCount; ++k)
        if (got.config(k) != image.config(k)) note(config_location(k), got.config(k), image.config(k));
    if (count == 0) return std::nullopt;
    return first + " (" + std::to_string(count) + (count == 1 ? " byte differs)" : " bytes differ)");
}

// What the chip's cells hold, as an image: 00 where a configuration byte does not exist.
MemoryImage chip_image(const Pic18Chip& chip) {
    const ChipMemory& memory = chip.memory();
    MemoryImage image;
    image.flash = memory.flash;
    image.eeprom = memory.eeprom;
    for (int k = 1; k <= kConfigByteCount; ++k) {
        image.config(k) =
            chip.model().has_config(k - 1) ? memory.config[static_cast<std::size_t>(k - 1)] : 0x00;
    }
    return image;
}

// Changes one byte of the chip and expects verify to name exactly that location.
void expect_verify_to_find(VirtualBench& bench, AppState& state, std::uint8_t& cell,
                           const std::string& location, std::uint8_t change) {
    const std::uint8_t original = cell;
    cell = static_cast<std::uint8_t>(original ^ change);
    const std::optional<RunOutcome> outcome = bench.run(Operation::Verify);
    cell = original;
    if (!outcome) return;
    if (*outcome == RunOutcome::Completed) {
        bench.fault(Operation::Verify, "did not notice a change of the chip at " + location);
        return;
    }
    if (*outcome != RunOutcome::Differences) {
        bench.fault(Operation::Verify, bench.outcome_text(*outcome));
        return;
    }
    if (state.mismatch_count() != 1 || state.mismatch_rows.front().location != location) {
        bench.fault(Operation::Verify, "reported " + bench.outcome_text(*outcome) +
                                           " for a change of the chip at " + location + " only");
    }
}

// An image that protects everything the part can protect programs and verifies (its protection
// held back until the rest is verified), and a later verify then names the protection instead of
// listing bytes; an erase lifts it. The image is small, as reads cover the whole chip anyway: a
// byte in every block and in data EEPROM.
void check_protection(VirtualBench& bench, AppState& state, const ChipModel& chip) {
    reset_buffers(state);
    for (std::size_t address = 0; address < state.image.flash.size(); address += 0x200)
        state.image.flash[address] = static_cast<std::uint8_t>(address >> 9);
    if (!state.image.eeprom.empty()) state.image.eeprom[0] = 0x5A;
    for (int k = 1; k <= kConfigByteCount; ++k) {
        const std::uint8_t bits = chip.config_bits[static_cast<std::size_t>(k - 1)];
        state.image.config(k) = k >= kFirstProtectionByte ? 0x00 : state.image.config(k) & bits;
    }
    const std::optional<RunOutcome> programmed = bench.program_and_verify();
    if (!programmed) return;
    if (*programmed != RunOutcome::Completed) {
        bench.fault(Operation::Program, "with a protecting image: " + bench.outcome_text(*programmed));
        return;
    }
    const std::optional<RunOutcome> verified = bench.run(Operation::Verify);
    if (!verified) return;
    if (*verified != RunOutcome::Differences || state.mismatch_count() != 0 ||
        bench.last_message().find("code-protected") == std::string::npos) {
        bench.fault(Operation::Verify,
                    "of a protected chip did not name the protection: " + first_line(bench.last_message()) +
                        " (" + std::to_string(state.mismatch_count()) + " differences)");
    }
    if (!bench.run_to_completion(Operation::Erase)) return;
    if (bench.chip().memory() != erased_memory(chip))
        bench.fault(Operation::Erase, "left a protected chip protected or unerased");
}

}  // namespace

SimulationReport simulate_model(AppState& state, std::uint32_t seed) {
    SimulationReport report;
    const std::optional<ChipModel> model = find_chip_model(state.model_name);
    if (!model) return report;
    report.chip_known = true;
    if (state.flash_size != model->flash_size) {
        report.faults.push_back({{},
                                 -1,
                                 "flash: " + std::to_string(state.flash_size) + " bytes, but the " +
                                     model->name + " has " + std::to_string(model->flash_size)});
    }
    if (state.eeprom_size != model->eeprom_size) {
        report.faults.push_back({{},
                                 -1,
                                 "eeprom: " + std::to_string(state.eeprom_size) + " bytes, but the " +
                                     model->name + " has " + std::to_string(model->eeprom_size)});
    }
    if (!report.faults.empty()) return report;

    std::mt19937 random(seed);
    VirtualBench bench(state, *model, report);
    fill_chip_randomly(bench.chip(), random);
    bench.check_device_id();
    // Each step needs the one before it to have worked.
    if (!bench.run_to_completion(Operation::Erase)) return report;
    if (!bench.run_to_completion(Operation::BlankCheck)) return report;
    // Programming starts from a used chip, as it mostly does for a user.
    fill_chip_randomly(bench.chip(), random);
    const MemoryImage image = random_image(state, *model, random);
    state.image = image;
    if (!bench.run_to_completion(Operation::Program)) return report;
    const bool verified = bench.run_to_completion(Operation::Verify);
    if (bench.run_to_completion(Operation::Read)) {
        if (const auto difference = image_difference(state.image, image))
            bench.fault(Operation::Read, "read back " + *difference);
    }
    // The chip's own cells must hold the image too: a program and a read script that make the same
    // mistake (bytes swapped, an address off by one) would still agree with each other.
    if (const auto difference = image_difference(chip_image(bench.chip()), image))
        bench.fault(Operation::Program, "programmed over other bytes, the chip holds " + *difference);
    state.image = image;
    if (!verified) return report;

    ChipMemory& memory = bench.chip().memory();
    const std::size_t flash_address = random() % memory.flash.size();
    const auto any_change = [&random] { return static_cast<std::uint8_t>(1u + random() % 255u); };
    expect_verify_to_find(bench, state, memory.flash[flash_address], flash_location(flash_address),
                          any_change());
    if (!memory.eeprom.empty()) {
        const std::size_t eeprom_address = random() % memory.eeprom.size();
        expect_verify_to_find(bench, state, memory.eeprom[eeprom_address], eeprom_location(eeprom_address),
                              any_change());
    }
    // A setting, not a protection bit, and only bits the part has: the others cannot differ.
    std::vector<int> present;
    for (int k = 1; k < kFirstProtectionByte; ++k)
        if (model->has_config(k - 1)) present.push_back(k);
    if (!present.empty()) {
        const int k = present[random() % present.size()];
        const std::uint8_t bits = model->config_bits[static_cast<std::size_t>(k - 1)];
        const std::uint8_t lowest = static_cast<std::uint8_t>(bits & -bits);
        expect_verify_to_find(bench, state, memory.config[static_cast<std::size_t>(k - 1)],
                              config_location(k), lowest);
    }
    if (!state.config_script.empty()) check_protection(bench, state, *model);
    state.image = image;
    return report;
}

}  // namespace quillon

#include "engine/script/run_progress.h"

#include <algorithm>
#include <optional>

#include "engine/script/script_interpreter.h"

namespace quillon {

namespace {

// The pace of the first second says little: the chip is still being powered up and set up. The
// estimate waits for a hundredth of the run and a second of it.
constexpr std::int64_t kFirstShareOfRun = 100;
constexpr std::chrono::seconds kFirstSeconds{1};

// A rise of the estimate smaller than this (or than a twentieth of it) is not shown.
constexpr std::chrono::seconds kSteadyRise{3};

std::string two_digits(std::int64_t value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string text_of(int percent, const std::optional<std::chrono::seconds>& left) {
    std::string text = std::to_string(percent) + "%";
    if (!left) return text;
    const std::int64_t seconds = left->count();
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds / 60 % 60;
    text += ", ";
    text += hours > 0 ? std::to_string(hours) + ":" + two_digits(minutes) : std::to_string(minutes);
    text += ":" + two_digits(seconds % 60) + " left";
    return text;
}

}  // namespace

namespace {

constexpr double kNsPerMs = 1e6;
// A command or a read: a 4-bit command and 16 bits of operand or of dummy and data bits.
constexpr double kFrameBits = 20;
constexpr double kPowerSwitchNs = 2 * 50 * kNsPerMs;  // the supply switched, two settling waits
// A data EEPROM write, which "waitwr" polls for: 4 ms in the parts' data sheets (typical), with
// one poll of three frames.
constexpr RunCost kEepromWrite{3 * kFrameBits, 4 * kNsPerMs};
// The pace assumed until the run has clocked some bits: a built-in UART at about 5 us for each of
// the four line operations of a bit.
constexpr double kFirstNsPerBit = 20'000;

// What one instruction costs; `config_pulse` once a configuration byte was sent for the pulse.
RunCost instruction_cost(const Instruction& instruction, const AppState& state, bool config_pulse) {
    switch (instruction.op) {
        case Op::Begin:
        case Op::End:
            return {0, kPowerSwitchNs};
        case Op::StartProg: {
            const std::int32_t ms = config_pulse && state.silicon.config_pulse_ms > 0
                                        ? state.silicon.config_pulse_ms
                                        : state.prog_time_ms;
            const double discharge_ns =
                1e3 * (state.silicon.discharge_us >= 0 ? state.silicon.discharge_us : 100);
            return {kFrameBits, ms * kNsPerMs + discharge_ns};
        }
        case Op::WaitWr:
            return kEepromWrite;
        case Op::Wait:
            return {0, static_cast<double>(instruction.wait_ms) * kNsPerMs};
        default:
            break;
    }
    switch (instruction.group) {
        case Group::Address:
        case Group::Send:
        case Group::Read:
            return {kFrameBits, 0};
        default:
            return {};
    }
}

// The bytes one round of a loop body moves its address by.
std::int64_t bytes_per_round(const ScriptProgram& program, std::size_t first, std::size_t end) {
    std::int64_t bytes = 0;
    for (std::size_t i = first; i < end; ++i) {
        const Instruction& instruction = program.instructions[i];
        if (instruction.memory != Memory::Flash && instruction.memory != Memory::Eeprom) continue;
        if (instruction.op == Op::SendFlash) {
            bytes += 2;
        } else if (instruction.group == Group::Send || instruction.group == Group::Read ||
                   instruction.group == Group::Check || instruction.group == Group::CheckBlank) {
            bytes += 1;
        }
    }
    return bytes;
}

}  // namespace

RunPlan plan_run(const ScriptProgram& program, const AppState& state) {
    const std::size_t count = program.instructions.size();
    RunPlan plan;
    plan.before.assign(count, {});
    plan.loop.assign(count, {});
    plan.bytes.assign(count, 0);
    std::int32_t last_flash = state.flash_size - 1;
    std::int32_t last_eeprom = state.eeprom_size - 1;
    bool config_pulse = false;
    // Inside a loop body: the loop's instruction, its bytes per round, and the body's cost so far.
    std::optional<std::size_t> loop;
    std::int64_t round_bytes = 0;
    RunCost round;
    std::size_t page_block_end = 0;  // an "ifpage" block of a loop body runs once a page
    bool told = false;               // whether any caption of the run tells its progress
    for (std::size_t i = 0; i < count; ++i) {
        const Instruction& instruction = program.instructions[i];
        plan.before[i] = loop ? plan.before[*loop] : plan.total;
        switch (instruction.op) {
            case Op::CalcFlash:
                last_flash = last_used_address(state.image.flash);
                break;
            case Op::CalcFlashPage:
                last_flash = page_end(last_used_address(state.image.flash), state.page_size);
                break;
            case Op::CalcEeprom:
                last_eeprom = last_used_address(state.image.eeprom);
                break;
            case Op::SetFlashLoop:
            case Op::SetEepromLoop: {
                if (loop) break;  // loops do not nest
                const bool flash = instruction.op == Op::SetFlashLoop;
                const bool covered = flash ? state.run_regions.flash : state.run_regions.eeprom;
                plan.bytes[i] =
                    covered ? std::max<std::int64_t>((flash ? last_flash : last_eeprom) + 1, 0) : 0;
                const std::size_t end =
                    instruction.target > 0 ? static_cast<std::size_t>(instruction.target - 1) : count;
                round_bytes = bytes_per_round(program, i + 1, std::min(end, count));
                round = {};
                loop = i;
                break;
            }
            case Op::Loop:
                if (loop) {
                    const double rounds = round_bytes > 0 ? static_cast<double>(plan.bytes[*loop]) /
                                                                static_cast<double>(round_bytes)
                                                          : 0;
                    plan.loop[*loop] = round.scaled(rounds);
                    plan.total += plan.loop[*loop];
                    loop.reset();
                }
                break;
            case Op::IfPage:
                page_block_end =
                    instruction.target > 0 ? static_cast<std::size_t>(instruction.target - 1) : i;
                break;
            default: {
                RunCost cost = instruction_cost(instruction, state, config_pulse);
                if (loop && i < page_block_end && state.page_size > 0)
                    cost = cost.scaled(static_cast<double>(round_bytes) / state.page_size);
                (loop ? round : plan.total) += cost;
                break;
            }
        }
        if (instruction.group == Group::Send) config_pulse = instruction.memory == Memory::Config;
        const Group group = instruction.group;
        told = told ||
               (instruction.memory != Memory::None && (group == Group::Send || group == Group::Read ||
                                                       group == Group::Check || group == Group::CheckBlank));
    }
    // A run without captions (erase all) has nothing to count as it goes.
    if (!told) plan.total = {};
    return plan;
}

RunProgress progress_at(const RunPlan& plan, std::size_t index, std::int64_t loop_bytes,
                        std::chrono::nanoseconds elapsed) {
    if (index >= plan.before.size()) return {};
    RunCost done = plan.before[index];
    if (plan.bytes[index] > 0) {
        const std::int64_t bytes = std::clamp<std::int64_t>(loop_bytes, 0, plan.bytes[index]);
        done += plan.loop[index].scaled(static_cast<double>(bytes) / static_cast<double>(plan.bytes[index]));
    }
    const double elapsed_ns = static_cast<double>(elapsed.count());
    const double ns_per_bit =
        done.bits > 0 ? std::max(elapsed_ns - done.wait_ns, 0.0) / done.bits : kFirstNsPerBit;
    const auto in_ns = [ns_per_bit](const RunCost& cost) {
        return static_cast<std::int64_t>(cost.wait_ns + cost.bits * ns_per_bit);
    };
    return {in_ns(done), in_ns(plan.total), elapsed};
}

int progress_percent(const RunProgress& progress) {
    if (progress.total <= 0) return 0;
    const std::int64_t done = std::clamp<std::int64_t>(progress.done, 0, progress.total);
    return static_cast<int>(done * 100 / progress.total);
}

std::optional<std::chrono::seconds> time_left(const RunProgress& progress) {
    const std::int64_t done = std::clamp<std::int64_t>(progress.done, 0, progress.total);
    if (done <= 0 || done * kFirstShareOfRun < progress.total || progress.elapsed < kFirstSeconds)
        return std::nullopt;
    const double per_byte = static_cast<double>(progress.elapsed.count()) / static_cast<double>(done);
    const double left_ns = per_byte * static_cast<double>(progress.total - done);
    // Up to the next whole second, so that the estimate reaches 0:00 only at the end.
    return std::chrono::seconds(static_cast<std::int64_t>((left_ns + 999'999'999.0) / 1e9));
}

std::string progress_text(const RunProgress& progress) {
    return text_of(progress_percent(progress), time_left(progress));
}

std::string ProgressTeller::text(const RunProgress& progress) {
    if (progress.done <= 0) shown_.reset();
    const std::optional<std::chrono::seconds> left = time_left(progress);
    if (!left) {
        shown_.reset();
    } else if (!shown_ || *left < *shown_ || *left - *shown_ > std::max(kSteadyRise, *shown_ / 20)) {
        shown_ = left;
    }
    return text_of(progress_percent(progress), shown_);
}

}  // namespace quillon

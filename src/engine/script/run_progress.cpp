#include "engine/script/run_progress.h"

#include <algorithm>

#include "engine/script/script_interpreter.h"

namespace quillon {

namespace {

// The pace of the first bytes says little: the chip is still being powered up and set up. The
// estimate waits for a fiftieth of the run and two seconds of it.
constexpr std::int64_t kFirstShareOfRun = 50;
constexpr std::chrono::seconds kFirstSeconds{2};

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

RunPlan plan_run(const ScriptProgram& program, const AppState& state) {
    RunPlan plan;
    plan.before.assign(program.instructions.size(), 0);
    plan.bytes.assign(program.instructions.size(), 0);
    std::int32_t last_flash = state.flash_size - 1;
    std::int32_t last_eeprom = state.eeprom_size - 1;
    for (std::size_t i = 0; i < program.instructions.size(); ++i) {
        switch (program.instructions[i].op) {
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
                const bool flash = program.instructions[i].op == Op::SetFlashLoop;
                const bool covered = flash ? state.run_regions.flash : state.run_regions.eeprom;
                plan.before[i] = plan.total;
                plan.bytes[i] =
                    covered ? std::max<std::int64_t>((flash ? last_flash : last_eeprom) + 1, 0) : 0;
                plan.total += plan.bytes[i];
                break;
            }
            default:
                break;
        }
    }
    return plan;
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

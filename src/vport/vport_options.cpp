#include "vport/vport_options.h"

#include <cstdlib>

namespace quillon {

namespace {

constexpr const char* kModel = "QUILLON_VPORT_MODEL";
constexpr const char* kChip = "QUILLON_VPORT_CHIP";
constexpr const char* kCounts = "QUILLON_VPORT_COUNTS";
constexpr const char* kLog = "QUILLON_VPORT_LOG";
constexpr const char* kFailAfter = "QUILLON_VPORT_FAIL_AFTER";
constexpr const char* kCallDelay = "QUILLON_VPORT_CALL_DELAY_US";
constexpr const char* kCallCost = "QUILLON_VPORT_CALL_COST_US";
constexpr const char* kSwap = "QUILLON_VPORT_SWAP_LINES";

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::optional<std::int64_t> parse_count(const std::string& text) {
    if (text.empty() || text.size() > 15) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::pair<std::string, std::string>> vport_environment(const VportOptions& options) {
    return {{kVportDeviceVariable, options.device},
            {kModel, options.model},
            {kChip, options.chip_file},
            {kCounts, options.counts_file},
            {kLog, options.log_file},
            {kFailAfter, options.fail_after < 0 ? std::string() : std::to_string(options.fail_after)},
            {kCallDelay, std::to_string(options.call_delay_us)},
            {kCallCost, std::to_string(options.call_cost_us)},
            {kSwap, options.swap_lines ? "1" : ""}};
}

Result<std::optional<VportOptions>> vport_options_from_environment() {
    VportOptions options;
    options.device = variable(kVportDeviceVariable);
    if (options.device.empty()) return std::optional<VportOptions>();
    if (const std::string model = variable(kModel); !model.empty()) options.model = model;
    options.chip_file = variable(kChip);
    options.counts_file = variable(kCounts);
    options.log_file = variable(kLog);
    options.swap_lines = !variable(kSwap).empty();
    std::string error;
    const auto number = [&error](const char* name, std::int64_t& target) {
        const std::string text = variable(name);
        if (text.empty()) return;
        if (const std::optional<std::int64_t> value = parse_count(text)) {
            target = *value;
        } else {
            error = std::string(name) + " is no whole number: " + text;
        }
    };
    number(kFailAfter, options.fail_after);
    number(kCallDelay, options.call_delay_us);
    number(kCallCost, options.call_cost_us);
    if (!error.empty()) return failure(Error{error});
    return std::optional<VportOptions>(std::move(options));
}

}  // namespace quillon

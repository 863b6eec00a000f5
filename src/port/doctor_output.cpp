#include "port/doctor_output.h"

#include <cstdio>

namespace quillon {

namespace {

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string counted(int count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

void append_estimates(std::string& text, const DoctorEstimates& estimates) {
    const OperationCounts& counts = estimates.counts;
    if (!counts.unavailable.empty()) {
        text += "No time estimates: " + counts.unavailable + ".\n";
        return;
    }
    text += "Estimated times for a full " + counts.model + ":\n";
    std::size_t width = 0;
    for (const PortCost& cost : estimates.costs)
        width = std::max(width, cost.label.size());
    for (const PortCost& cost : estimates.costs) {
        std::string row;
        for (const OperationCount& count : counts.operations) {
            row += (row.empty() ? "" : ", ") + std::string(operation_name(count.operation)) + " " +
                   run_time_text(estimated_time(count, cost));
        }
        text += "  " + padded(cost.label, width) + "  " + row + "\n";
    }
    std::string basis;
    for (const OperationCount& count : counts.operations) {
        basis += (basis.empty() ? "" : "; ") + std::string(operation_name(count.operation)) + " " +
                 std::to_string(count.line_changes) + " line changes, " + std::to_string(count.dsr_reads) +
                 " DSR reads, " + run_time_text(count.waits) + " of waits";
    }
    text += "  counted on the simulated chip: " + basis + "\n";
}

}  // namespace

DoctorEstimates make_doctor_estimates(const AppState& state, const std::optional<LineCosts>& measured) {
    DoctorEstimates estimates{count_operations(state), {}};
    if (measured) {
        estimates.costs.push_back(
            {"this port (measured)", measured->change.mean_us, measured->dsr_read.mean_us});
    } else {
        estimates.costs.push_back(typical_uart_cost());
        estimates.costs.push_back(typical_usb_cost());
    }
    return estimates;
}

std::string doctor_text(const DoctorReport& report, const DoctorEstimates* estimates) {
    std::string text;
    for (const DoctorCheck& check : report.checks) {
        text += padded(verdict_word(check.verdict), 9) + padded(check.name, 9) + check.finding;
        text += check.fix.empty() ? std::string(".") : ". Fix: " + check.fix + ".";
        text += "\n";
    }
    if (estimates) append_estimates(text, *estimates);
    const int problems = report.count(Verdict::Problem);
    const int warnings = report.count(Verdict::Warning);
    if (problems == 0 && warnings == 0) {
        text += "No problems found.\n";
    } else {
        text += counted(problems, "problem", "problems") + ", " + counted(warnings, "warning", "warnings") +
                ".\n";
    }
    return text;
}

}  // namespace quillon

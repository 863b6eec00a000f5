#include "tools/doctor/doctor_output.h"

#include <algorithm>
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

std::string basis_text(const OperationCounts& counts) {
    std::string basis;
    for (const OperationCount& count : counts.operations) {
        if (count.modelled) {
            basis += (basis.empty() ? "" : "; ") + std::string(operation_name(count.operation)) + " " +
                     std::to_string(count.round_trips) + " USB round trips, " + run_time_text(count.waits) +
                     " of waits";
            continue;
        }
        basis += (basis.empty() ? "" : "; ") + std::string(operation_name(count.operation)) + " " +
                 std::to_string(count.line_changes) + " line changes, " + std::to_string(count.dsr_reads) +
                 " DSR reads, " + run_time_text(count.waits) + " of waits";
    }
    return basis;
}

void append_estimates(std::string& text, const DoctorEstimates& estimates) {
    if (estimates.ports.empty()) return;
    const OperationCounts& first = estimates.ports.front().counts;
    if (!first.unavailable.empty()) {
        text += "No time estimates: " + first.unavailable + ".\n";
        return;
    }
    text += "Estimated times for a full " + first.model + ":\n";
    std::size_t width = 0;
    for (const PortEstimate& port : estimates.ports)
        width = std::max(width, port.cost.label.size());
    for (const PortEstimate& port : estimates.ports) {
        std::string row;
        if (!port.counts.unavailable.empty()) row = "no estimate: " + port.counts.unavailable;
        for (const OperationCount& count : port.counts.operations) {
            row += (row.empty() ? "" : ", ") + std::string(operation_name(count.operation)) + " " +
                   run_time_text(estimated_time(count, port.cost));
        }
        text += "  " + padded(port.cost.label, width) + "  " + row + "\n";
    }
    // How often a script polls a chip that is still writing depends on the port's pace, so the
    // counts may differ from port to port.
    for (const PortEstimate& port : estimates.ports) {
        if (!port.counts.unavailable.empty()) continue;
        const bool own_port = port.cost.label.starts_with("this ");
        const bool modelled = !port.counts.operations.empty() && port.counts.operations.front().modelled;
        text += modelled ? "  run on the simulated chip through a modelled FT232R (1 ms a USB round trip): "
                         : "  counted on the simulated chip at the pace of " +
                               std::string(own_port ? "" : "the ") + port.cost.label + ": ";
        text += basis_text(port.counts) + "\n";
    }
}

}  // namespace

DoctorEstimates make_doctor_estimates(const AppState& state, const std::optional<LineCosts>& measured) {
    std::vector<PortCost> costs;
    if (measured) {
        costs.push_back({"this port (measured)", measured->change.mean_us, measured->dsr_read.mean_us});
    } else {
        costs = {typical_uart_cost(), typical_usb_cost()};
    }
    DoctorEstimates estimates;
    for (const PortCost& cost : costs)
        estimates.ports.push_back({cost, count_operations(state, cost)});
    // The fast path for the USB adapters that have it.
    estimates.ports.push_back({modelled_ftdi_cost(), count_operations_on_ftdi(state)});
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

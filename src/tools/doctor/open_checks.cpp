#include "tools/doctor/open_checks.h"

#include <optional>
#include <string>

#include "model/settings_catalog.h"
#include "tools/doctor/board_echo.h"
#include "tools/doctor/doctor_words.h"
#include "tools/doctor/line_cost.h"

namespace quillon {

namespace {

// A line change slower than this makes programming a chip a matter of many minutes.
constexpr double kSlowChangeUs = 2000;

}  // namespace

std::unique_ptr<ProgrammerPort> check_port_opens(const DoctorTarget& target,
                                                 const std::vector<DeviceHolder>& holders,
                                                 const std::function<PortOpenResult()>& open_port,
                                                 bool access_reported, DoctorReport& report) {
    const auto add = [&report](const char* name, Verdict verdict, std::string finding, std::string fix = {}) {
        report.checks.push_back({name, verdict, std::move(finding), std::move(fix)});
    };
    PortOpenResult opened = open_port();
    std::vector<std::string> running;
    std::vector<std::string> stale;
    for (const DeviceHolder& holder : holders) {
        if (holder.running) {
            running.push_back(holder_text(holder));
        } else {
            stale.push_back(holder.lock_file);
        }
    }
    const std::string holding = programs_text(running);
    if (opened.ok()) {
        if (running.empty()) {
            add("open", Verdict::Ok, "opens with " + target.line_settings);
        } else {
            add("open", Verdict::Warning,
                "opens, but " + holding + " also holds it; their use of the lines would spoil a run",
                "close " + holding);
        }
        return std::move(opened).value();
    }
    const PortError& error = opened.error();
    switch (error.kind) {
        case PortErrorKind::Busy:
        case PortErrorKind::PermissionDenied: {
            if (error.kind == PortErrorKind::PermissionDenied && access_reported) break;
            std::string fix;
            if (!running.empty()) {
                fix = "close " + holding;
            } else if (!stale.empty()) {
                fix = "remove the lock file " + join(stale, ", ") + " of a program that has ended";
            } else {
                fix =
                    "close the program that uses the port (a terminal program, another programmer, a "
                    "second copy of this one)";
                if (file_name(target.device).rfind("ttyACM", 0) == 0)
                    fix += "; ModemManager probes new ttyACM devices for a while after they appear";
            }
            add("open", Verdict::Problem,
                "the port is in use or locked" + (running.empty() ? std::string() : " by " + holding), fix);
            break;
        }
        case PortErrorKind::BadSettings:
            add("open", Verdict::Problem, "the port does not take the settings " + target.line_settings,
                "set the setting " + quoted(std::string(kBaudRateSetting.name)) +
                    " to a rate the port takes, such as 57600");
            break;
        case PortErrorKind::NoSuchDevice:
        case PortErrorKind::Failed:
            add("open", Verdict::Problem, "the port does not open: " + clause(error.message),
                "choose the port the board is plugged into");
            break;
    }
    return nullptr;
}

void check_port_lines(ProgrammerPort& port, Clock& clock, int rounds, DoctorReport& report) {
    const auto add = [&report](const char* name, Verdict verdict, std::string finding, std::string fix = {}) {
        report.checks.push_back({name, verdict, std::move(finding), std::move(fix)});
    };
    const LineCosts costs = measure_line_costs(port, clock, rounds);
    if (costs.port_failed) {
        add("lines", Verdict::Problem,
            "the port stopped working when its lines were switched" +
                (costs.failure.empty() ? std::string() : ": " + clause(costs.failure)),
            "if the adapter was unplugged, plug it in again; a port without control lines cannot drive "
            "the board");
        return;
    }
    report.costs = costs;
    const std::string finding = "a line change takes " + microseconds(costs.change.median_us) +
                                " (95% within " + microseconds(costs.change.p95_us) + "), a DSR read " +
                                microseconds(costs.dsr_read.median_us) + " (95% within " +
                                microseconds(costs.dsr_read.p95_us) + ")";
    if (costs.change.median_us > kSlowChangeUs) {
        add("lines", Verdict::Warning, finding + ": slow",
            "a built-in serial port or a faster USB adapter shortens every run (see the estimates)");
    } else {
        add("lines", Verdict::Ok, finding);
    }
    const std::optional<DoctorCheck> board = board_echo_check(
        costs,
        "plug the board into this port and check its cable; the board shows DATA OUT on DATA IN while the "
        "chip is idle");
    if (board) report.checks.push_back(*board);
}

}  // namespace quillon

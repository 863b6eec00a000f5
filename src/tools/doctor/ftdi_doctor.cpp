#include "tools/doctor/ftdi_doctor.h"

#include <cstdio>
#include <optional>

#include "tools/doctor/board_echo.h"
#include "tools/doctor/line_cost.h"

namespace quillon {

namespace {

constexpr const char* kRule = "70-quillon-ftdi.rules";

std::string milliseconds(double microseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", microseconds / 1000.0);
    return text;
}

// The adapter that `name` (ftdi or ftdi:SERIAL) stands for among those connected, reported.
std::optional<UsbAdapterFacts> check_adapter(const std::string& name,
                                             const std::vector<UsbAdapterFacts>& adapters,
                                             DoctorReport& report) {
    const std::string serial = name.size() > 5 ? name.substr(5) : std::string();
    const UsbAdapterFacts* chosen = nullptr;
    std::string connected;
    for (const UsbAdapterFacts& adapter : adapters) {
        if (chosen == nullptr && (serial.empty() || adapter.serial == serial)) chosen = &adapter;
        connected += (connected.empty() ? "" : ", ") +
                     (adapter.serial.empty() ? adapter.usb_id : adapter.serial) + " (" + adapter.chip + ")";
    }
    if (chosen == nullptr) {
        report.checks.push_back(
            {"adapter", Verdict::Problem,
             adapters.empty()
                 ? "no FTDI adapter is connected (USB IDs 0403:6001, 0403:6015, 0403:6014, 0403:6010)"
                 : "no FTDI adapter with the serial number " + serial +
                       " is connected; connected: " + connected,
             adapters.empty() ? "connect the programmer's adapter; \"lsusb\" lists what the USB sees"
                              : "choose one of them: --port ftdi:SERIAL"});
        return std::nullopt;
    }
    report.checks.push_back({"adapter", Verdict::Ok,
                             "FTDI " + chosen->chip + " adapter " +
                                 (chosen->serial.empty() ? "without a serial number" : chosen->serial) +
                                 (chosen->product.empty() ? "" : " (" + chosen->product + ")") + " on " +
                                 chosen->device_node,
                             ""});
    return *chosen;
}

}  // namespace

DoctorReport examine_ftdi_port(const std::string& name, const std::string& chosen_by, SystemView& system,
                               const std::function<PortOpenResult()>& open_port, Clock& clock, int rounds) {
    DoctorReport report;
    const auto add = [&report](const char* check, Verdict verdict, std::string finding,
                               std::string fix = {}) {
        report.checks.push_back({check, verdict, std::move(finding), std::move(fix)});
    };
    add("port", Verdict::Ok,
        name + ": an FTDI USB adapter in synchronous bit-bang mode" +
            (chosen_by.empty() ? std::string() : "; chosen by " + chosen_by));
    if (!system.ftdi_built_in()) {
        add("ftdi", Verdict::Problem, "this program was built without the FTDI path (libftdi was missing)",
            "build it with the Debian package libftdi1-dev installed, or use the adapter's serial device "
            "(/dev/ttyUSB0 is port 5) at one USB transfer per line change");
        return report;
    }
    const std::optional<UsbAdapterFacts> chosen = check_adapter(name, system.ftdi_adapters(), report);
    if (!chosen) return report;
    if (!chosen->may_open) {
        add("access", Verdict::Problem, "user " + system.user_name() + " may not open " + chosen->device_node,
            std::string("install the udev rule ") + kRule +
                " (the Debian package does; by hand: sudo cp packaging/" + kRule +
                " /etc/udev/rules.d/ && sudo udevadm control --reload-rules), then plug the adapter in "
                "again");
        return report;
    }
    add("access", Verdict::Ok, "user " + system.user_name() + " may open " + chosen->device_node);
    PortOpenResult opened = open_port();
    if (!opened.ok()) {
        add("open", Verdict::Problem, "the adapter does not open: " + opened.error().message,
            opened.error().kind == PortErrorKind::Busy ? "close the program that holds it"
                                                       : "plug the adapter in again");
        return report;
    }
    add("open", Verdict::Ok,
        "opens in synchronous bit-bang mode: the fast path is used, one USB transfer for many line changes");
    const LineCosts costs = measure_line_costs(**opened, clock, rounds);
    if (costs.port_failed) {
        add("lines", Verdict::Problem, "the adapter stopped working: " + costs.failure,
            "plug the adapter in again");
        return report;
    }
    // Every DSR read the doctor makes is a round trip of its own; a run sends many states in one.
    add("lines", Verdict::Ok,
        "a USB round trip takes " + milliseconds(costs.dsr_read.median_us) + " (95% within " +
            milliseconds(costs.dsr_read.p95_us) + ")");
    const std::optional<DoctorCheck> board =
        board_echo_check(costs, "plug the board into the adapter's DB9 and check its cable");
    if (board) report.checks.push_back(*board);
    return report;
}

}  // namespace quillon

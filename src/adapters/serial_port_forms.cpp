#include "adapters/serial_port_forms.h"

#include "adapters/ftdi_port_opener.h"
#include "adapters/host_system_view.h"
#include "model/settings_catalog.h"
#include "ports/line_settings.h"
#include "ports/port_status.h"
#include "tools/doctor/ftdi_doctor.h"

namespace quillon {

namespace {

Result<void, PortFormError> open_by_settings(PortOpening& opening) {
    const Result<void, PortError> opened = opening.manager.open_programmer_port();
    if (opened.ok()) return {};
    // The manager explains only a refused permission in a message box; a terminal user gets every
    // reason.
    return told(opening.host, opening.state, opened.error(),
                opened.error().kind == PortErrorKind::PermissionDenied);
}

// A port number stands for the device its setting (or the port table) gives it; none outside 1
// to 16.
DoctorReport examine_number(DoctorTarget& target, SerialPortProvider& provider, SystemView& system) {
    if (target.number >= 1 && target.number <= 16)
        target.device = target.port_devices[static_cast<std::size_t>(target.number - 1)];
    return examine_target(target, provider, system);
}

}  // namespace

Failure<PortFormError> told(Host& host, const AppState& state, const PortError& error, bool already_told) {
    if (!already_told) host.show_message(error.message, MessageKind::Error, state.product_title);
    return failure(PortFormError{PortFormError::Kind::Told, {}});
}

Result<void, PortFormError> open_stored_port(const PortChoice&, PortOpening& opening) {
    // The program scans first: a missing port number setting defaults to the last port found.
    opening.manager.scan_ports();
    return open_by_settings(opening);
}

Result<void, PortFormError> open_numbered_port(const PortChoice& choice, PortOpening& opening) {
    opening.settings.give_number(kPortNumberSetting.name, choice.number);
    return open_by_settings(opening);
}

Result<void, PortFormError> open_serial_device(const PortChoice& choice, PortOpening& opening) {
    const std::string& device = choice.text;
    // A device of the port table is opened by its number, exactly as the program would open it.
    for (int number = 1; number <= 16; ++number) {
        if (opening.provider.device_for(number) == device) {
            opening.settings.give_number(kPortNumberSetting.name, number);
            return open_by_settings(opening);
        }
    }
    AppState& state = opening.state;
    state.baud_setting = read_setting(opening.settings, kBaudRateSetting);
    const std::string name = serial_port_name(device);
    PortOpenResult opened =
        SerialPortProvider::open_device(device, programmer_line_settings(state.baud_setting));
    if (!opened.ok()) {
        opening.host.set_status(port_status_text(name, PortStatus::Error));
        return told(opening.host, state, opened.error());
    }
    const Result<void, PortError> attached = opening.manager.attach_port(std::move(opened).value(), name);
    if (!attached.ok()) return told(opening.host, state, attached.error());
    return {};
}

DoctorTarget doctor_target(DoctorSetup& setup, SerialPortProvider& provider) {
    DoctorTarget target;
    for (int number = 1; number <= 16; ++number)
        target.port_devices[static_cast<std::size_t>(number - 1)] = provider.device_for(number);
    target.line_settings = programmer_line_settings(read_setting(setup.settings, kBaudRateSetting));
    target.chosen_by = "--port";
    return target;
}

DoctorReport examine_target(const DoctorTarget& target, SerialPortProvider& provider, SystemView& system) {
    SystemClock clock;
    if (is_ftdi_port_name(target.device)) {
        // The adapter's own checks; the typical estimates follow, since a run's pace is not that
        // of the doctor's single changes.
        const auto open_ftdi = [&target] {
            const std::optional<LineSettings> line = parse_line_settings(target.line_settings);
            return std::move(open_ftdi_port(target.device, line ? line->baud_rate : 0, FtdiAccess{}).result);
        };
        DoctorReport report;
        report.checks = examine_ftdi_port(target.device, target.chosen_by, system, open_ftdi, clock).checks;
        return report;
    }
    const auto open_port = [&target, &provider] {
        return target.number > 0 ? provider.open(target.number, target.line_settings)
                                 : SerialPortProvider::open_device(target.device, target.line_settings);
    };
    return examine_port(target, system, open_port, clock);
}

// The port as the program would choose it: by the port number setting after a scan of the ports,
// as at the program's start.
DoctorReport examine_stored_port(const PortChoice&, DoctorSetup& setup, DoctorTarget& target) {
    HostSystemView system;
    SerialPortProvider provider(setup.settings);
    target = doctor_target(setup, provider);
    PortManager manager(setup.state, setup.settings, setup.host, provider);
    manager.scan_ports();
    target.number = read_setting(setup.settings, kPortNumberSetting, setup.state.default_port);
    target.chosen_by = "the setting \"" + std::string(kPortNumberSetting.name) + "\"";
    return examine_number(target, provider, system);
}

DoctorReport examine_numbered_port(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target) {
    HostSystemView system;
    SerialPortProvider provider(setup.settings);
    target = doctor_target(setup, provider);
    target.number = choice.number;
    return examine_number(target, provider, system);
}

DoctorReport examine_serial_device(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target) {
    HostSystemView system;
    SerialPortProvider provider(setup.settings);
    target = doctor_target(setup, provider);
    target.device = choice.text;
    target.number = find_port_number(choice.text, target.port_devices, system);
    return examine_target(target, provider, system);
}

}  // namespace quillon

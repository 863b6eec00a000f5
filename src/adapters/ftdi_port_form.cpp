#include "adapters/ftdi_port_form.h"

#include "adapters/ftdi_port_opener.h"
#include "adapters/host_system_view.h"
#include "adapters/serial_port_forms.h"
#include "model/settings_catalog.h"
#include "ports/line_settings.h"
#include "ports/port_status.h"

namespace quillon {

Result<int, PortFormError> programmer_baud_rate(PortOpening& opening) {
    AppState& state = opening.state;
    state.baud_setting = read_setting(opening.settings, kBaudRateSetting);
    const std::optional<LineSettings> line =
        parse_line_settings(programmer_line_settings(state.baud_setting));
    if (!line) {
        return failure(PortFormError{PortFormError::Kind::BadSetting,
                                     "the setting \"" + std::string(kBaudRateSetting.name) +
                                         "\" holds no baud rate: " + state.baud_setting});
    }
    return line->baud_rate;
}

Result<void, PortFormError> open_ftdi_adapter(const PortChoice& choice, PortOpening& opening) {
    const Result<int, PortFormError> baud = programmer_baud_rate(opening);
    if (!baud.ok()) return failure(baud.error());
    FtdiPortOpened opened = open_ftdi_port(choice.text, *baud, FtdiAccess{});
    const std::string label = opened.name.empty() ? "FTDI adapter" : opened.name;
    if (!opened.result.ok()) {
        opening.host.set_status(port_status_text(label, PortStatus::Error));
        return told(opening.host, opening.state, opened.result.error());
    }
    const Result<void, PortError> attached =
        opening.manager.attach_port(std::move(opened.result).value(), label);
    if (!attached.ok()) return told(opening.host, opening.state, attached.error());
    return {};
}

DoctorReport examine_ftdi_adapter(const PortChoice& choice, DoctorSetup& setup, DoctorTarget& target) {
    HostSystemView system;
    SerialPortProvider provider(setup.settings);
    target = doctor_target(setup, provider);
    target.device = choice.text;
    return examine_target(target, provider, system);
}

}  // namespace quillon

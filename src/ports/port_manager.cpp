#include "ports/port_manager.h"

#include "model/settings_catalog.h"
#include "ports/line_settings.h"
#include "ports/port_errors.h"
#include "ports/port_status.h"

namespace quillon {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;
constexpr int kNoPortFound = 2;

bool valid_port_number(int number) {
    return number >= kFirstPort && number <= kLastPort;
}

// Some systems assert DTR and RTS when a port opens; the board must see DATA OUT and CLOCK low
// until a chip operation drives them. Fails with why the lines cannot be switched.
Result<> release_lines(ProgrammerPort& port) {
    port.set_dtr(false);
    port.set_rts(false);
    if (!port.failed()) return {};
    return failure(Error{"its control lines cannot be switched (" + port.failure_text() + ")"});
}

}  // namespace

bool PortManager::probe_port(int number) {
    return valid_port_number(number) && provider_.probe(number);
}

void PortManager::scan_ports() {
    state_.port_list.clear();
    state_.default_port = kNoPortFound;
    for (int number = kFirstPort; number <= kLastPort; ++number) {
        if (!probe_port(number)) continue;
        state_.port_list += "- " + serial_port_name(number) + " available";
        // Where COM numbers are this program's own, the list says which device a number opened.
        if (const std::string device = provider_.describe(number); !device.empty())
            state_.port_list += " (" + device + ")";
        state_.port_list += "\r\n";
        state_.default_port = number;
    }
    for (const std::string& line : provider_.other_ports())
        state_.port_list += "- " + line + "\r\n";
    if (!state_.port_list.empty()) state_.port_list.resize(state_.port_list.size() - 2);
}

PortOpenResult PortManager::open_numbered_port() {
    const int number = state_.port_number;
    if (!valid_port_number(number)) return failure(make_port_error(PortErrorKind::NoSuchDevice, number, {}));
    PortOpenResult opened = provider_.open(number, programmer_line_settings(state_.baud_setting));
    if (!opened.ok()) return opened;
    if (const Result<> released = release_lines(**opened); !released.ok())
        return failure(make_port_error(PortErrorKind::Failed, number, provider_.describe(number),
                                       released.error().message));
    return opened;
}

Result<void, PortError> PortManager::open_programmer_port() {
    close_port();
    state_.port_number = read_setting(settings_, kPortNumberSetting, state_.default_port);
    state_.baud_setting = read_setting(settings_, kBaudRateSetting);
    state_.port_open = false;

    PortOpenResult opened = open_numbered_port();
    state_.port_label = serial_port_name(state_.port_number);
    if (opened.ok()) {
        port_ = std::move(opened).value();
        state_.port_open = true;
        host_.set_status(port_status_text(state_.port_label, PortStatus::Ready));
        return {};
    }
    host_.set_status(port_status_text(state_.port_label, PortStatus::Error));
    if (opened.error().kind == PortErrorKind::PermissionDenied)
        host_.show_message(opened.error().message, MessageKind::Error, state_.product_title);
    return failure(std::move(opened).error());
}

Result<void, PortError> PortManager::attach_port(std::unique_ptr<ProgrammerPort> port,
                                                 std::string_view name) {
    close_port();
    state_.port_label = std::string(name);
    if (!port) return failure(PortError{PortErrorKind::NoSuchDevice, std::string(name) + " does not exist."});
    if (const Result<> released = release_lines(*port); !released.ok()) {
        host_.set_status(port_status_text(name, PortStatus::Error));
        return failure(PortError{PortErrorKind::Failed,
                                 std::string(name) + " cannot be used: " + released.error().message + "."});
    }
    port_ = std::move(port);
    state_.port_open = true;
    host_.set_status(port_status_text(name, PortStatus::Ready));
    return {};
}

void PortManager::close_port() {
    port_.reset();
    state_.port_open = false;
}

}  // namespace quillon

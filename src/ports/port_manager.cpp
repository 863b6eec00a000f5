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
// until a chip operation drives them. Returns why the lines cannot be switched, or empty text.
std::string release_lines(ProgrammerPort& port) {
    port.set_dtr(false);
    port.set_rts(false);
    if (!port.failed()) return {};
    return "its control lines cannot be switched (" + port.failure_text() + ")";
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

std::optional<PortError> PortManager::open_programmer_port() {
    close_port();
    state_.port_number = read_setting(settings_, kPortNumberSetting, state_.default_port);
    state_.baud_setting = read_setting(settings_, kBaudRateSetting);
    state_.port_open = false;

    PortOpenResult opened;
    if (valid_port_number(state_.port_number)) {
        opened = provider_.open(state_.port_number, programmer_line_settings(state_.baud_setting));
        if (opened.port) {
            if (const std::string failure = release_lines(*opened.port); !failure.empty()) {
                opened.error = make_port_error(PortErrorKind::Failed, state_.port_number,
                                               provider_.describe(state_.port_number), failure);
                opened.port.reset();
            }
        }
    } else {
        opened.error = make_port_error(PortErrorKind::NoSuchDevice, state_.port_number, {});
    }

    state_.port_label = serial_port_name(state_.port_number);
    if (opened.port) {
        port_ = std::move(opened.port);
        state_.port_open = true;
        host_.set_status(port_status_text(state_.port_label, PortStatus::Ready));
        return std::nullopt;
    }
    host_.set_status(port_status_text(state_.port_label, PortStatus::Error));
    if (opened.error.kind == PortErrorKind::PermissionDenied)
        host_.show_message(opened.error.message, MessageKind::Error, state_.product_title);
    return std::move(opened.error);
}

std::optional<PortError> PortManager::attach_port(std::unique_ptr<ProgrammerPort> port,
                                                  std::string_view name) {
    close_port();
    state_.port_label = std::string(name);
    if (!port) return PortError{PortErrorKind::NoSuchDevice, std::string(name) + " does not exist."};
    if (const std::string failure = release_lines(*port); !failure.empty()) {
        host_.set_status(port_status_text(name, PortStatus::Error));
        return PortError{PortErrorKind::Failed, std::string(name) + " cannot be used: " + failure + "."};
    }
    port_ = std::move(port);
    state_.port_open = true;
    host_.set_status(port_status_text(name, PortStatus::Ready));
    return std::nullopt;
}

void PortManager::close_port() {
    port_.reset();
    state_.port_open = false;
}

}  // namespace quillon

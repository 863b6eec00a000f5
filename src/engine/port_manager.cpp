#include "engine/port_manager.h"

#include "engine/port_errors.h"

namespace quillon {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;
constexpr int kNoPortFound = 2;

bool valid_port_number(int number) {
    return number >= kFirstPort && number <= kLastPort;
}

std::string status_prefix(int number) {
    return "Serial port COM" + std::to_string(number);
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
        state_.port_list += "- Serial port COM" + std::to_string(number) + " available";
        // Where COM numbers are this program's own, the list says which device a number opened.
        if (const std::string device = provider_.describe(number); !device.empty())
            state_.port_list += " (" + device + ")";
        state_.port_list += "\r\n";
        state_.default_port = number;
    }
    if (!state_.port_list.empty()) state_.port_list.resize(state_.port_list.size() - 2);
}

std::optional<PortError> PortManager::open_programmer_port() {
    close_port();
    state_.port_number = settings_.get_number_setting("Serial Port Number", state_.default_port);
    state_.baud_setting = settings_.get_text_setting("Serial Port Baud Rate", "56000");
    state_.port_open = false;

    PortOpenResult opened;
    if (valid_port_number(state_.port_number)) {
        opened = provider_.open(state_.port_number, state_.baud_setting + ",n,8,1");
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

    state_.port_label = status_prefix(state_.port_number);
    if (opened.port) {
        port_ = std::move(opened.port);
        state_.port_open = true;
        host_.set_status(status_prefix(state_.port_number) + " ready...");
        return std::nullopt;
    }
    host_.set_status(status_prefix(state_.port_number) + " error!");
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
        host_.set_status(std::string(name) + " error!");
        return PortError{PortErrorKind::Failed, std::string(name) + " cannot be used: " + failure + "."};
    }
    port_ = std::move(port);
    state_.port_open = true;
    host_.set_status(std::string(name) + " ready...");
    return std::nullopt;
}

void PortManager::close_port() {
    port_.reset();
    state_.port_open = false;
}

}  // namespace quillon

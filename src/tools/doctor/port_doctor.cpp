#include "tools/doctor/port_doctor.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "ports/serial_device_map.h"
#include "tools/doctor/doctor_words.h"
#include "tools/doctor/open_checks.h"

namespace quillon {

namespace {

const char* const kUsbDrivers[] = {"ftdi_sio",          "cp210x", "ch341",   "pl2303",  "cdc_acm",
                                   "usb_serial_simple", "ch343",  "ark3116", "oti6858", "mos7840",
                                   "ti_usb_3410_5052"};

std::string com(int number) {
    return "COM" + std::to_string(number);
}

bool is_usb(const TtyFacts& tty) {
    if (tty.subsystem == "usb-serial" || tty.subsystem == "usb") return true;
    return std::find(std::begin(kUsbDrivers), std::end(kUsbDrivers), tty.driver) != std::end(kUsbDrivers);
}

// One run of the doctor over one target.
class Examination {
  public:
    Examination(const DoctorTarget& target, SystemView& system, DoctorReport& report)
        : target_(target), system_(system), report_(report) {}

    bool check_port();
    bool check_device();
    bool check_access();
    void check_kind();
    // Before the port is opened here, so that only other programs count.
    void find_holders() { holders_ = system_.holders(real_device()); }
    std::unique_ptr<ProgrammerPort> check_open(const std::function<PortOpenResult()>& open_port,
                                               bool access_reported);

  private:
    void add(const char* name, Verdict verdict, std::string finding, std::string fix = {}) {
        report_.checks.push_back({name, verdict, std::move(finding), std::move(fix)});
    }
    std::string present_devices();
    std::string real_device() const { return facts_.real_path.empty() ? target_.device : facts_.real_path; }
    int free_number();
    void check_fast_path(const TtyFacts& tty);

    const DoctorTarget& target_;
    SystemView& system_;
    DoctorReport& report_;
    DeviceFacts facts_;
    std::vector<DeviceHolder> holders_;
};

bool Examination::check_port() {
    const int number = target_.number;
    const std::string chosen = target_.chosen_by.empty() ? "" : "; chosen by " + target_.chosen_by;
    if (target_.device.empty()) {
        add("port", Verdict::Problem, com(number) + " is no port number (1 to 16)" + chosen,
            "choose a port: quillon-cli --port N, or \"Change Serial Port Number\" in the program");
        return false;
    }
    if (number == 0) {
        const int free = free_number();
        add("port", Verdict::Warning, target_.device + " is none of the port numbers COM1 to COM16" + chosen,
            "quillon-cli takes it as --port " + target_.device + "; for the program, set the setting " +
                quoted(serial_device_setting_name(free)) + " to it and choose port " + std::to_string(free));
        return true;
    }
    const std::string& number_device = target_.port_devices[static_cast<std::size_t>(number - 1)];
    std::string finding = com(number) + " is " + number_device;
    const std::string table_device = default_serial_device(number);
    if (system_.describes_devices() && number_device != table_device) {
        finding +=
            " (the setting " + quoted(serial_device_setting_name(number)) + " replaces " + table_device + ")";
    }
    if (target_.device != number_device) finding += ", where " + target_.device + " leads";
    add("port", Verdict::Ok, finding + chosen);
    return true;
}

// A number whose own device is absent, to take a device that no number stands for; COM1 to COM4
// are left to the built-in ports, whose device nodes often exist without hardware.
int Examination::free_number() {
    for (int number = 5; number <= 16; ++number) {
        if (!system_.device(target_.port_devices[static_cast<std::size_t>(number - 1)]).exists) return number;
    }
    return 16;
}

// "/dev/ttyS0 (COM1), /dev/ttyUSB1 (COM6, also /dev/serial/by-id/...)", or empty.
std::string Examination::present_devices() {
    const std::vector<std::string> devices = system_.serial_devices();
    std::vector<std::string> by_id;
    std::vector<std::string> plain;
    for (const std::string& device : devices)
        (device.rfind("/dev/serial/", 0) == 0 ? by_id : plain).push_back(device);
    std::vector<std::string> parts;
    for (const std::string& device : plain) {
        const int number = find_port_number(device, target_.port_devices, system_);
        std::vector<std::string> notes{number > 0 ? com(number) : "no port number"};
        for (const std::string& link : by_id)
            if (system_.device(link).real_path == device) notes.push_back("also " + link);
        parts.push_back(device + " (" + join(notes, ", ") + ")");
    }
    for (const std::string& link : by_id) {
        const std::string real = system_.device(link).real_path;
        if (std::find(plain.begin(), plain.end(), real) != plain.end()) continue;
        const int number = find_port_number(link, target_.port_devices, system_);
        parts.push_back(link + " (" + (number > 0 ? com(number) : "no port number") + ")");
    }
    return join(parts, ", ");
}

bool Examination::check_device() {
    facts_ = system_.device(target_.device);
    const std::string& device = target_.device;
    if (facts_.exists && facts_.is_char_device) {
        const bool linked = !facts_.real_path.empty() && facts_.real_path != device;
        add("device", Verdict::Ok, device + " exists" + (linked ? " and leads to " + facts_.real_path : ""));
        return true;
    }
    const std::string present = present_devices();
    const std::string others =
        present.empty() ? "there is no serial device on this computer" : "serial devices here: " + present;
    if (facts_.exists) {
        add("device", Verdict::Problem, device + " is no device but a file or folder; " + others,
            "name the device of the programmer's serial port");
        return false;
    }
    add("device", Verdict::Problem, device + " does not exist; " + others,
        present.empty()
            ? "connect the programmer's serial adapter; \"sudo dmesg\" shows what the kernel made of it"
            : "connect the adapter, or choose one of those ports (quillon-cli --port N, or \"Change "
              "Serial Port Number\" in the program)");
    return false;
}

bool Examination::check_access() {
    const std::string& device = target_.device;
    const std::string user = system_.user_name();
    const std::string& group = facts_.owner_group;
    if (facts_.user_may_read_write) {
        add("access", Verdict::Ok,
            "user " + user + " may read and write " + device +
                (group.empty() ? "" : " (group " + group + ")"));
        return true;
    }
    if (!group.empty() && group != "root" && facts_.group_may_read_write) {
        if (system_.user_listed_in_group(group) && !system_.session_has_group(group)) {
            add("access", Verdict::Problem,
                user + " is in the group " + quoted(group) + ", which owns " + device +
                    ", but this login session started before that",
                "log out and log in again (or restart the computer)");
        } else {
            add("access", Verdict::Problem,
                device + " belongs to the group " + quoted(group) + " and user " + user + " is not a member",
                "sudo usermod -aG " + group + " " + user + ", then log out and log in again");
        }
        return false;
    }
    add("access", Verdict::Problem, "user " + user + " may not read and write " + device,
        "ask the administrator of this computer for read and write access to " + device);
    return false;
}

void Examination::check_kind() {
    const std::string real = real_device();
    if (facts_.virtual_port) {
        add("kind", Verdict::Ok,
            "the virtual serial port of quillon-vport: a simulated board answers its modem lines");
        return;
    }
    const TtyFacts tty = system_.tty(file_name(real));
    if (!tty.known || (tty.subsystem.empty() && tty.driver.empty())) {
        add("kind", Verdict::Warning, real + " is no serial port with hardware behind it",
            "a pseudo-terminal or virtual device has no control lines: choose the port the board is on");
        return;
    }
    const std::string driver = tty.driver.empty() ? "unknown driver" : "driver " + tty.driver;
    if (is_usb(tty)) {
        std::vector<std::string> about;
        if (!tty.product.empty()) about.push_back(tty.product);
        if (!tty.usb_id.empty()) about.push_back(tty.usb_id);
        const std::string details = about.empty() ? "" : " (" + join(about, ", ") + ")";
        const bool acm = tty.driver == "cdc_acm";
        add("kind", Verdict::Ok,
            std::string(acm ? "USB CDC ACM device, " : "USB serial adapter, ") + driver + details +
                "; every line change is a USB transfer" +
                (acm ? "; it must pass DTR, RTS and DSR to real pins" : ""));
        check_fast_path(tty);
        return;
    }
    if (tty.no_uart) {
        add("kind", Verdict::Problem, real + " is a built-in port with no UART behind it (" + driver + ")",
            "choose the port the board is plugged into");
        return;
    }
    add("kind", Verdict::Ok,
        "built-in UART, " + driver + (tty.subsystem.empty() ? "" : " on " + tty.subsystem));
}

// An FTDI adapter used as a serial port: the same board runs far faster in bit-bang mode.
void Examination::check_fast_path(const TtyFacts& tty) {
    const std::vector<UsbAdapterFacts> adapters = system_.ftdi_adapters();
    const auto adapter =
        std::find_if(adapters.begin(), adapters.end(), [&tty](const UsbAdapterFacts& candidate) {
            return candidate.usb_id == tty.usb_id &&
                   (tty.usb_serial.empty() || candidate.serial == tty.usb_serial);
        });
    if (adapter == adapters.end()) return;
    const std::string name = adapter->serial.empty() ? "ftdi" : "ftdi:" + adapter->serial;
    const std::string finding =
        "an FTDI " + adapter->chip +
        " adapter: in synchronous bit-bang mode a whole ICSP frame takes one USB transfer "
        "instead of one per line change";
    if (!system_.ftdi_built_in()) {
        add("ftdi", Verdict::Warning, finding + ", but this program was built without that path (libftdi)",
            "build it with the Debian package libftdi1-dev installed");
        return;
    }
    std::string fix = "use --port " + name + ", or set the setting " +
                      quoted(serial_device_setting_name(target_.number > 0 ? target_.number : 16)) + " to " +
                      name + "; the fast path is then used (see the estimates)";
    if (!adapter->may_open)
        fix += "; first install the udev rule 70-quillon-ftdi.rules so that you may open " +
               adapter->device_node;
    add("ftdi", Verdict::Warning, finding, fix);
}

std::unique_ptr<ProgrammerPort> Examination::check_open(const std::function<PortOpenResult()>& open_port,
                                                        bool access_reported) {
    return check_port_opens(target_, holders_, open_port, access_reported, report_);
}

}  // namespace

const char* verdict_word(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok:
            return "ok";
        case Verdict::Warning:
            return "warning";
        case Verdict::Problem:
            break;
    }
    return "problem";
}

int DoctorReport::count(Verdict verdict) const {
    return static_cast<int>(std::count_if(checks.begin(), checks.end(), [verdict](const DoctorCheck& check) {
        return check.verdict == verdict;
    }));
}

int find_port_number(const std::string& device, const std::array<std::string, 16>& port_devices,
                     SystemView& system) {
    for (std::size_t i = 0; i < port_devices.size(); ++i)
        if (port_devices[i] == device) return static_cast<int>(i) + 1;
    if (!system.describes_devices()) return 0;
    const DeviceFacts wanted = system.device(device);
    if (!wanted.exists || wanted.real_path.empty()) return 0;
    for (std::size_t i = 0; i < port_devices.size(); ++i) {
        const DeviceFacts facts = system.device(port_devices[i]);
        if (facts.exists && facts.real_path == wanted.real_path) return static_cast<int>(i) + 1;
    }
    return 0;
}

DoctorReport examine_port(const DoctorTarget& target, SystemView& system,
                          const std::function<PortOpenResult()>& open_port, Clock& clock, int rounds) {
    DoctorReport report;
    Examination examination(target, system, report);
    if (!examination.check_port()) return report;
    bool access_reported = false;
    if (system.describes_devices()) {
        if (!examination.check_device()) return report;
        access_reported = !examination.check_access();
        examination.check_kind();
        examination.find_holders();
    }
    const std::unique_ptr<ProgrammerPort> port = examination.check_open(open_port, access_reported);
    if (port) check_port_lines(*port, clock, rounds, report);
    return report;
}

}  // namespace quillon

#include "adapters/host_system_view.h"

#include "adapters/ftdi_adapters.h"
#include "adapters/libftdi_adapter.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#ifdef __linux__
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace quillon {

namespace fs = std::filesystem;

#ifdef __linux__

namespace {

// The families of serial device names the port table uses.
const char* const kFamilies[] = {"ttyS", "ttyUSB", "ttyACM", "ttyAMA"};

// Folders where serial programs leave "LCK..<name>" files.
const char* const kLockFolders[] = {"/var/lock",  "/run/lock", "/var/spool/locks", "/var/spool/uucp",
                                    "/etc/locks", "/tmp",      "/var/tmp"};

std::string first_line(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string link_name(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    return error ? std::string() : target.filename().string();
}

// The family index and number of "ttyUSB3", or nothing for another name.
bool family_member(const std::string& name, std::size_t& family, long& number) {
    for (std::size_t i = 0; i < std::size(kFamilies); ++i) {
        const std::string prefix = kFamilies[i];
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
        family = i;
        number = std::strtol(digits.c_str(), nullptr, 10);
        return true;
    }
    return false;
}

// A built-in port whose UART type is 0 (unknown): the kernel keeps such names for absent hardware.
bool uart_absent(const std::string& name) {
    const fs::path type = fs::path("/sys/class/tty") / name / "type";
    std::error_code error;
    return fs::exists(type, error) && first_line(type) == "0";
}

std::string process_name(int pid) {
    return first_line(fs::path("/proc") / std::to_string(pid) / "comm");
}

bool process_running(int pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

std::string hex_id(const fs::path& device, const char* file) {
    return first_line(device / file);
}

// The entries of a folder that may change or vanish while it is read (/proc, /dev); errors end
// the listing quietly.
std::vector<fs::path> entries(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        found.push_back(it->path());
    return found;
}

}  // namespace

bool HostSystemView::describes_devices() const {
    return true;
}

std::vector<std::string> HostSystemView::serial_devices() {
    struct Found {
        std::size_t family;
        long number;
        std::string path;
    };
    std::vector<Found> found;
    for (const fs::path& entry : entries("/dev")) {
        const std::string name = entry.filename().string();
        std::size_t family = 0;
        long number = 0;
        if (!family_member(name, family, number)) continue;
        if (family == 0 && uart_absent(name)) continue;
        found.push_back({family, number, entry.string()});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.family != b.family ? a.family < b.family : a.number < b.number;
    });
    std::vector<std::string> devices;
    for (const Found& device : found)
        devices.push_back(device.path);
    std::vector<std::string> links;
    for (const fs::path& entry : entries("/dev/serial/by-id"))
        links.push_back(entry.string());
    std::sort(links.begin(), links.end());
    devices.insert(devices.end(), links.begin(), links.end());
    return devices;
}

DeviceFacts HostSystemView::device(const std::string& path) {
    DeviceFacts facts;
    if (path.empty()) return facts;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return facts;
    facts.exists = true;
    facts.is_char_device = S_ISCHR(info.st_mode);
    std::error_code error;
    const fs::path real = fs::canonical(path, error);
    facts.real_path = error ? path : real.string();
    if (const group* owner = ::getgrgid(info.st_gid)) facts.owner_group = owner->gr_name;
    facts.group_may_read_write = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    facts.user_may_read_write = ::access(path.c_str(), R_OK | W_OK) == 0;
    // quillon-vport names the pseudo-terminal it answers for in the environment of the program.
    struct stat virtual_port {};
    const char* virtual_device = std::getenv("QUILLON_VPORT_DEVICE");
    facts.virtual_port = facts.is_char_device && virtual_device != nullptr &&
                         ::stat(virtual_device, &virtual_port) == 0 && S_ISCHR(virtual_port.st_mode) &&
                         virtual_port.st_rdev == info.st_rdev;
    return facts;
}

TtyFacts HostSystemView::tty(const std::string& name) {
    TtyFacts facts;
    const fs::path base = fs::path("/sys/class/tty") / name;
    std::error_code error;
    if (name.empty() || !fs::exists(base, error)) return facts;
    facts.known = true;
    const fs::path device = base / "device";
    if (!fs::exists(device, error)) return facts;
    facts.subsystem = link_name(device / "subsystem");
    facts.driver = link_name(device / "driver");
    facts.no_uart = uart_absent(name);
    // The USB device is a few folders above the interface or the usb-serial port.
    fs::path folder = fs::canonical(device, error);
    for (int up = 0; !error && up < 4 && !folder.empty(); ++up, folder = folder.parent_path()) {
        if (!fs::exists(folder / "idVendor", error)) continue;
        facts.usb_id = hex_id(folder, "idVendor") + ":" + hex_id(folder, "idProduct");
        facts.product = first_line(folder / "product");
        facts.usb_serial = first_line(folder / "serial");
        break;
    }
    return facts;
}

std::string HostSystemView::user_name() {
    if (const passwd* user = ::getpwuid(::geteuid())) return user->pw_name;
    const char* name = std::getenv("USER");
    return name != nullptr ? name : "your user";
}

bool HostSystemView::session_has_group(const std::string& group_name) {
    const group* wanted = ::getgrnam(group_name.c_str());
    if (wanted == nullptr) return false;
    const gid_t gid = wanted->gr_gid;
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = ::getgroups(count, groups.data());
    return filled > 0 && std::find(groups.begin(), groups.begin() + filled, gid) != groups.begin() + filled;
}

bool HostSystemView::user_listed_in_group(const std::string& group_name) {
    const group* wanted = ::getgrnam(group_name.c_str());
    const passwd* user = ::getpwuid(::geteuid());
    if (wanted == nullptr || user == nullptr) return false;
    const gid_t gid = wanted->gr_gid;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) return false;
    }
    groups.resize(static_cast<std::size_t>(count));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::vector<DeviceHolder> HostSystemView::holders(const std::string& real_path) {
    std::vector<DeviceHolder> found;
    const std::string name = fs::path(real_path).filename().string();
    std::error_code error;
    for (const char* folder : kLockFolders) {
        const fs::path lock = fs::path(folder) / ("LCK.." + name);
        if (!fs::exists(lock, error)) continue;
        const int pid = std::atoi(first_line(lock).c_str());
        if (pid <= 0) continue;
        const bool running = process_running(pid);
        found.push_back({pid, running ? process_name(pid) : std::string(), lock.string(), running});
    }
    // Open files of other processes show only for the user's own processes (or all, for root).
    std::set<int> seen;
    const int self = static_cast<int>(::getpid());
    for (const fs::path& process : entries("/proc")) {
        const int pid = std::atoi(process.filename().c_str());
        if (pid <= 0 || pid == self) continue;
        for (const fs::path& fd : entries(process / "fd")) {
            std::error_code unreadable;
            if (fs::read_symlink(fd, unreadable).string() != real_path || !seen.insert(pid).second) continue;
            found.push_back({pid, process_name(pid), {}, true});
            break;
        }
    }
    return found;
}

#else  // not Linux

bool HostSystemView::describes_devices() const {
    return false;
}
std::vector<std::string> HostSystemView::serial_devices() {
    return {};
}
DeviceFacts HostSystemView::device(const std::string&) {
    return {};
}
TtyFacts HostSystemView::tty(const std::string&) {
    return {};
}
std::string HostSystemView::user_name() {
    const char* name = std::getenv("USERNAME");
    return name != nullptr ? name : "your user";
}
bool HostSystemView::session_has_group(const std::string&) {
    return false;
}
bool HostSystemView::user_listed_in_group(const std::string&) {
    return false;
}
std::vector<DeviceHolder> HostSystemView::holders(const std::string&) {
    return {};
}

#endif

std::vector<UsbAdapterFacts> HostSystemView::ftdi_adapters() {
    return list_ftdi_adapters();
}

bool HostSystemView::ftdi_built_in() const {
    return libftdi_built_in();
}

}  // namespace quillon

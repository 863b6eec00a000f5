#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/doctor/system_view.h"

namespace quillon {

// A machine described by the test: its serial devices, their owners, the user and the groups.
class FakeSystemView final : public SystemView {
  public:
    bool describes_devices() const override { return describes; }
    std::vector<std::string> serial_devices() override { return present; }
    DeviceFacts device(const std::string& path) override {
        const auto found = devices.find(path);
        return found == devices.end() ? DeviceFacts{} : found->second;
    }
    TtyFacts tty(const std::string& name) override {
        const auto found = ttys.find(name);
        return found == ttys.end() ? TtyFacts{} : found->second;
    }
    std::string user_name() override { return user; }
    bool session_has_group(const std::string& group) override { return session_groups.contains(group); }
    bool user_listed_in_group(const std::string& group) override { return listed_groups.contains(group); }
    std::vector<DeviceHolder> holders(const std::string& real_path) override { return held[real_path]; }
    std::vector<UsbAdapterFacts> ftdi_adapters() override { return adapters; }
    bool ftdi_built_in() const override { return ftdi_path; }

    // A serial device node of group "dialout" (read and write for the group) behind an FTDI adapter;
    // the user may open it or not.
    void add_serial(const std::string& path, bool user_may_open = true) {
        devices[path] = {true, true, path, "dialout", true, user_may_open};
        present.push_back(path);
        ttys[path.substr(path.rfind('/') + 1)] = {true,  "usb-serial", "ftdi_sio",
                                                  false, "0403:6001",  "FT232R USB UART"};
    }
    // A /dev/serial/by-id link to a device added before.
    void add_link(const std::string& link, const std::string& target) {
        DeviceFacts facts = devices.at(target);
        facts.real_path = target;
        devices[link] = facts;
        present.push_back(link);
    }

    bool describes = true;
    std::vector<std::string> present;
    std::map<std::string, DeviceFacts> devices;
    std::map<std::string, TtyFacts> ttys;
    std::string user = "alice";
    std::set<std::string> session_groups;
    std::set<std::string> listed_groups;
    std::map<std::string, std::vector<DeviceHolder>> held;
    std::vector<UsbAdapterFacts> adapters;  // none unless a test plugs some in
    bool ftdi_path = true;
};

}  // namespace quillon

#include "adapters/ftdi_adapters.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#ifdef __linux__
#include <unistd.h>
#endif

namespace quillon {

namespace fs = std::filesystem;

namespace {

std::string first_line(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool may_read_write(const fs::path& node) {
#ifdef __linux__
    return ::access(node.c_str(), R_OK | W_OK) == 0;
#else
    (void)node;
    return false;
#endif
}

}  // namespace

const FtdiChipKind* ftdi_chip_kind(std::string_view usb_id) {
    for (const FtdiChipKind& kind : kFtdiChips) {
        if (usb_id == kind.usb_id) return &kind;
    }
    return nullptr;
}

std::vector<UsbAdapterFacts> list_ftdi_adapters(const fs::path& usb_devices, const fs::path& device_nodes) {
    std::vector<std::pair<std::string, UsbAdapterFacts>> found;
    std::error_code error;
    for (fs::directory_iterator it(usb_devices, error), end; !error && it != end; it.increment(error)) {
        const fs::path device = it->path();
        // Interfaces (1-2:1.0) carry no idVendor; only whole devices do.
        const std::string usb_id = first_line(device / "idVendor") + ":" + first_line(device / "idProduct");
        const FtdiChipKind* kind = ftdi_chip_kind(usb_id);
        if (kind == nullptr) continue;
        UsbAdapterFacts facts;
        facts.usb_id = usb_id;
        facts.chip = kind->chip;
        facts.serial = first_line(device / "serial");
        facts.product = first_line(device / "product");
        const int bus = std::atoi(first_line(device / "busnum").c_str());
        const int number = std::atoi(first_line(device / "devnum").c_str());
        if (bus > 0 && number > 0) {
            char node[32];
            std::snprintf(node, sizeof node, "%03d/%03d", bus, number);
            facts.device_node = (device_nodes / node).string();
            facts.may_open = may_read_write(facts.device_node);
        }
        found.emplace_back(device.filename().string(), std::move(facts));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<UsbAdapterFacts> adapters;
    for (auto& entry : found)
        adapters.push_back(std::move(entry.second));
    return adapters;
}

std::vector<UsbAdapterFacts> list_ftdi_adapters() {
    const char* root = std::getenv("QUILLON_USB_SYSFS");
    return list_ftdi_adapters(root != nullptr ? fs::path(root) : fs::path("/sys/bus/usb/devices"),
                              "/dev/bus/usb");
}

}  // namespace quillon

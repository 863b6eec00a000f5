#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tools/doctor/system_view.h"

namespace quillon {

// An FTDI chip with a synchronous bit-bang mode, known by its USB product ID under vendor 0403.
struct FtdiChipKind {
    const char* usb_id;
    const char* chip;
    int fifo;  // the chip's receive buffer in bytes: the most pin states in flight
};

// FT232R, FT-X (FT230X, FT231X, FT234X), FT232H and FT2232 (C, D, H); receive buffer sizes from
// the chips' data sheets (FT2232 taken at the C and D's 384 bytes, the smallest of the three).
inline constexpr FtdiChipKind kFtdiChips[] = {
    {"0403:6001", "FT232R", 128},
    {"0403:6015", "FT-X", 512},
    {"0403:6014", "FT232H", 1024},
    {"0403:6010", "FT2232", 384},
};

// The chip of a USB ID, or null when it is none of kFtdiChips.
const FtdiChipKind* ftdi_chip_kind(std::string_view usb_id);

// The FTDI adapters the kernel lists, in the order of their USB device names, without opening
// any: vendor, product and serial from sysfs, and whether this user may open the device node
// (a udev rule grants it). `usb_devices` is /sys/bus/usb/devices, `device_nodes` /dev/bus/usb.
std::vector<UsbAdapterFacts> list_ftdi_adapters(const std::filesystem::path& usb_devices,
                                                const std::filesystem::path& device_nodes);
// This machine's, from the folder in the environment variable QUILLON_USB_SYSFS when set (tests
// describe a bus of their own there) or /sys/bus/usb/devices.
std::vector<UsbAdapterFacts> list_ftdi_adapters();

}  // namespace quillon

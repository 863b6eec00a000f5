#pragma once

#include <string>
#include <vector>

namespace quillon {

// What the file system says about one device path.
struct DeviceFacts {
    bool exists = false;
    bool is_char_device = false;  // a device node, as serial ports are
    std::string real_path;        // after symbolic links: /dev/serial/by-id/... gives /dev/ttyUSB0
    std::string owner_group;      // the group that owns the device; empty when unknown
    bool group_may_read_write = false;
    bool user_may_read_write = false;  // this process may open it for reading and writing
    bool virtual_port = false;         // the virtual serial port that quillon-vport runs this program on
};

// What the kernel says about a serial device (on Linux from /sys/class/tty/<name>/device).
struct TtyFacts {
    bool known = false;        // the kernel has the name as a terminal device
    std::string subsystem;     // the bus behind it: "usb-serial", "usb", "platform", "pnp", "pci", "amba"
    std::string driver;        // "ftdi_sio", "cp210x", "ch341", "pl2303", "cdc_acm", "serial8250", ...
    bool no_uart = false;      // a built-in port that the kernel keeps although no UART answers there
    std::string usb_id;        // vendor:product of the USB device, "0403:6001"
    std::string product;       // the USB device's own name for itself, when it gives one
    std::string usb_serial{};  // the USB device's serial number, when it has one
};

// Another program that holds the device open, or the lock file that claims it.
struct DeviceHolder {
    int pid = 0;
    std::string program;    // the process's name, when known
    std::string lock_file;  // the lock file naming the process; empty when the process holds it open
    bool running = true;    // false: the lock file names a process that has ended (a stale lock)
};

// A USB serial adapter of the FTDI kind whose chip has a synchronous bit-bang mode.
struct UsbAdapterFacts {
    std::string usb_id;       // vendor:product, "0403:6001"
    std::string chip;         // "FT232R"
    std::string serial;       // the adapter's serial number; empty when it has none
    std::string product;      // the adapter's own name for itself
    std::string device_node;  // the USB device node, /dev/bus/usb/001/004
    bool may_open = false;    // this user may open the node for reading and writing

    bool operator==(const UsbAdapterFacts&) const = default;
};

// The machine as the port doctor sees it: serial devices, their owners, the user's groups and the
// kernel's facts. The real machine stands behind it in quillon-cli; tests describe one of their own.
class SystemView {
  public:
    virtual ~SystemView() = default;

    // False where serial devices are no files (Windows): the doctor then only opens the port.
    virtual bool describes_devices() const { return true; }
    // The serial devices present: /dev/ttyS, ttyUSB, ttyACM and ttyAMA devices with hardware behind
    // them, and the /dev/serial/by-id links to them.
    virtual std::vector<std::string> serial_devices() = 0;
    virtual DeviceFacts device(const std::string& path) = 0;
    // `name` as in /dev: "ttyUSB0".
    virtual TtyFacts tty(const std::string& name) = 0;
    virtual std::string user_name() = 0;
    // Whether this login session has the rights of the group.
    virtual bool session_has_group(const std::string& group) = 0;
    // Whether the group database lists the user in the group (usermod -aG takes effect here at
    // once, in the session only at the next login).
    virtual bool user_listed_in_group(const std::string& group) = 0;
    // Other programs that hold `real_path` open or have locked it.
    virtual std::vector<DeviceHolder> holders(const std::string& real_path) = 0;
    // The FTDI adapters on the USB, and whether this program can drive them in bit-bang mode.
    virtual std::vector<UsbAdapterFacts> ftdi_adapters() { return {}; }
    virtual bool ftdi_built_in() const { return false; }
};

}  // namespace quillon

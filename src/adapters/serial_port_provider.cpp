#include "adapters/serial_port_provider.h"

#include <algorithm>
#include <memory>

#include "adapters/serial_programmer_port.h"
#include "ports/line_settings.h"
#include "ports/port_errors.h"
#include "ports/serial_device_map.h"

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace quillon {

namespace {

// Data from the board is never read; a small buffer keeps a chattering line from growing memory.
constexpr qint64 kReadBufferBytes = 256;

bool access_denied(const std::string& device) {
#ifdef Q_OS_UNIX
    return ::access(device.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
#else
    (void)device;
    return false;
#endif
}

// The group that owns the device on Linux, where membership of it grants access; empty elsewhere.
std::string owning_group(const std::string& device) {
#ifdef Q_OS_LINUX
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) return {};
    const group* owner = ::getgrgid(info.st_gid);
    return owner != nullptr ? std::string(owner->gr_name) : std::string();
#else
    (void)device;
    return {};
#endif
}

QSerialPort::Parity to_qt_parity(char parity) {
    switch (parity) {
        case 'e':
            return QSerialPort::EvenParity;
        case 'o':
            return QSerialPort::OddParity;
        case 'm':
            return QSerialPort::MarkParity;
        case 's':
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits to_qt_stop_bits(LineSettings::StopBits stop_bits) {
    switch (stop_bits) {
        case LineSettings::StopBits::OneAndHalf:
            return QSerialPort::OneAndHalfStop;
        case LineSettings::StopBits::Two:
            return QSerialPort::TwoStop;
        case LineSettings::StopBits::One:
            break;
    }
    return QSerialPort::OneStop;
}

bool apply_line_settings(QSerialPort& serial, const LineSettings& line) {
    return serial.setBaudRate(line.baud_rate) &&
           serial.setDataBits(static_cast<QSerialPort::DataBits>(line.data_bits)) &&
           serial.setParity(to_qt_parity(line.parity)) &&
           serial.setStopBits(to_qt_stop_bits(line.stop_bits)) &&
           serial.setFlowControl(QSerialPort::NoFlowControl);
}

}  // namespace

PortErrorKind classify_open_error(QSerialPort::SerialPortError error, bool access_denied) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
        case QSerialPort::UnsupportedOperationError:  // a device that is no serial port
            return PortErrorKind::NoSuchDevice;
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return access_denied ? PortErrorKind::PermissionDenied : PortErrorKind::Busy;
        default:
            return PortErrorKind::Failed;
    }
}

std::string SerialPortProvider::device_for(int number) {
#ifdef Q_OS_WIN
    return number >= 1 && number <= 16 ? "COM" + std::to_string(number) : std::string();
#else
    return serial_device_for(number, settings_);
#endif
}

std::string SerialPortProvider::describe(int number) {
#ifdef Q_OS_WIN
    (void)number;
    return {};
#else
    return device_for(number);
#endif
}

PortOpenResult SerialPortProvider::open(int number, const std::string& settings) {
    const std::string device = device_for(number);
    if (device.empty()) return failure(make_port_error(PortErrorKind::NoSuchDevice, number, device));
    if (is_ftdi_port_name(device)) {
        const std::optional<LineSettings> line = parse_line_settings(settings);
        if (!line) return failure(make_port_error(PortErrorKind::BadSettings, number, device, settings));
        return std::move(open_ftdi_port(device, line->baud_rate, ftdi_).result);
    }
    return open_device(device, settings, number);
}

bool SerialPortProvider::probe(int number) {
    const std::string device = device_for(number);
    if (!is_ftdi_port_name(device)) return PortProvider::probe(number);
    if (!ftdi_.built_in) return false;
    const std::string serial = ftdi_serial_in(device);
    const std::vector<UsbAdapterFacts> adapters = ftdi_.list();
    return std::any_of(adapters.begin(), adapters.end(), [&serial](const UsbAdapterFacts& adapter) {
        return serial.empty() || adapter.serial == serial;
    });
}

std::vector<std::string> SerialPortProvider::other_ports() {
    std::vector<std::string> lines;
    for (const std::string& line : ftdi_adapter_lines(ftdi_.list())) {
        lines.push_back(line + (ftdi_.built_in ? " (set \"Serial Port Device n\" to it for the fast path)"
                                               : " (the FTDI path is not built in)"));
    }
    return lines;
}

PortOpenResult SerialPortProvider::open_device(const std::string& device, const std::string& settings,
                                               int number) {
    const std::optional<LineSettings> line = parse_line_settings(settings);
    if (!line) return failure(make_port_error(PortErrorKind::BadSettings, number, device, settings));

    auto serial = std::make_unique<QSerialPort>();
    serial->setPortName(QString::fromStdString(device));
    serial->setReadBufferSize(kReadBufferBytes);
    // Opened at Qt's default 9600,n,8,1 first, so that a refused setting is told apart from a
    // device that does not open.
    if (!serial->open(QIODevice::ReadWrite)) {
        const PortErrorKind kind = classify_open_error(serial->error(), access_denied(device));
        const std::string detail = kind == PortErrorKind::PermissionDenied
                                       ? owning_group(device)
                                       : serial->errorString().toStdString();
        return failure(make_port_error(kind, number, device, detail));
    }
    if (!apply_line_settings(*serial, *line))
        return failure(make_port_error(PortErrorKind::BadSettings, number, device, settings));
    return std::make_unique<SerialProgrammerPort>(std::move(serial));
}

}  // namespace quillon

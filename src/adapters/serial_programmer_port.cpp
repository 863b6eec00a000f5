#include "adapters/serial_programmer_port.h"

#ifdef Q_OS_UNIX
#include <termios.h>

#include <cerrno>
#endif

namespace quillon {

namespace {

// One byte at the slowest usable rate takes a few milliseconds; a second means the port is stuck.
constexpr int kWriteTimeoutMs = 1000;

}  // namespace

SerialProgrammerPort::SerialProgrammerPort(std::unique_ptr<QSerialPort> serial)
    : serial_(std::move(serial)), lines_(serial_->handle()) {}

SerialProgrammerPort::~SerialProgrammerPort() {
    if (serial_->isOpen()) serial_->close();
}

bool SerialProgrammerPort::failed() const {
    // An error found while the event loop read the port (a vanished device) counts as well.
    return failed_ || serial_->error() == QSerialPort::ResourceError;
}

bool SerialProgrammerPort::ready() {
    if (failed_) return false;
    if (serial_->error() == QSerialPort::ResourceError) {
        fail(serial_->errorString().toStdString());
        return false;
    }
    return true;
}

void SerialProgrammerPort::fail(std::string reason) {
    failed_ = true;
    failure_ = std::move(reason);
}

void SerialProgrammerPort::check(bool succeeded) {
    if (!succeeded || serial_->error() != QSerialPort::NoError) fail(serial_->errorString().toStdString());
}

void SerialProgrammerPort::change(Level& line, bool asserted, Result<> (ModemLines::*set_line)(bool)) {
    const Level wanted = asserted ? Level::Asserted : Level::Released;
    if (line == wanted || !ready()) return;
    Result<> changed = (lines_.*set_line)(asserted);
    if (changed.ok()) {
        line = wanted;
    } else {
        fail(std::move(changed).error().message);
    }
}

void SerialProgrammerPort::set_dtr(bool asserted) {
    change(dtr_, asserted, &ModemLines::set_dtr);
}

void SerialProgrammerPort::set_rts(bool asserted) {
    change(rts_, asserted, &ModemLines::set_rts);
}

bool SerialProgrammerPort::read_dsr() {
    if (!ready()) return false;
    Result<bool> asserted = lines_.read_dsr();
    if (asserted.ok()) return *asserted;
    fail(std::move(asserted).error().message);
    return false;
}

void SerialProgrammerPort::write_byte(std::uint8_t value) {
    if (!ready()) return;
    serial_->clearError();
    const char byte = static_cast<char>(value);
    bool sent = serial_->write(&byte, 1) == 1;
    serial_->flush();
    if (sent && serial_->bytesToWrite() > 0) sent = serial_->waitForBytesWritten(kWriteTimeoutMs);
    check(sent);
#ifdef Q_OS_UNIX
    // The byte is in the driver now; wait until it has been sent on the line, so that the board's
    // supply has switched before the caller's settling time starts.
    while (!failed_ && tcdrain(static_cast<int>(serial_->handle())) != 0) {
        if (errno != EINTR) fail(qt_error_string(errno).toStdString());
    }
#endif
}

}  // namespace quillon

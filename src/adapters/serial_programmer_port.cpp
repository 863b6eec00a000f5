#include "adapters/serial_programmer_port.h"

#ifdef Q_OS_UNIX
#include <termios.h>

#include <cerrno>
#include <cstring>
#endif

namespace quillon {

namespace {

// One byte at the slowest usable rate takes a few milliseconds; a second means the port is stuck.
constexpr int kWriteTimeoutMs = 1000;

}  // namespace

SerialProgrammerPort::SerialProgrammerPort(std::unique_ptr<QSerialPort> serial)
    : serial_(std::move(serial)) {}

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
        fail(serial_->errorString());
        return false;
    }
    serial_->clearError();
    return true;
}

void SerialProgrammerPort::fail(const QString& reason) {
    failed_ = true;
    failure_ = reason.toStdString();
}

void SerialProgrammerPort::check(bool succeeded) {
    if (!succeeded || serial_->error() != QSerialPort::NoError) fail(serial_->errorString());
}

void SerialProgrammerPort::set_dtr(bool asserted) {
    if (ready()) check(serial_->setDataTerminalReady(asserted));
}

void SerialProgrammerPort::set_rts(bool asserted) {
    if (ready()) check(serial_->setRequestToSend(asserted));
}

bool SerialProgrammerPort::read_dsr() {
    if (!ready()) return false;
    const QSerialPort::PinoutSignals signal_state = serial_->pinoutSignals();
    check(true);
    return !failed_ && signal_state.testFlag(QSerialPort::DataSetReadySignal);
}

void SerialProgrammerPort::write_byte(std::uint8_t value) {
    if (!ready()) return;
    const char byte = static_cast<char>(value);
    bool sent = serial_->write(&byte, 1) == 1;
    serial_->flush();
    if (sent && serial_->bytesToWrite() > 0) sent = serial_->waitForBytesWritten(kWriteTimeoutMs);
    check(sent);
#ifdef Q_OS_UNIX
    // The byte is in the driver now; wait until it has been sent on the line, so that the board's
    // supply has switched before the caller's settling time starts.
    while (!failed_ && tcdrain(static_cast<int>(serial_->handle())) != 0) {
        if (errno != EINTR) fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
#endif
}

}  // namespace quillon

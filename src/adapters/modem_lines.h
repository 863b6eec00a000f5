#pragma once

#include <QSerialPort>
#include <string>
#include <utility>

namespace quillon {

// The port's handle as the system knows it: a file descriptor, or a Windows HANDLE.
using NativeSerialHandle = decltype(std::declval<const QSerialPort&>().handle());

// The modem lines of an open serial port, switched and read on its native handle with one system
// call each: TIOCMBIS / TIOCMBIC and TIOCMGET elsewhere, EscapeCommFunction and GetCommModemStatus
// on Windows. (QSerialPort reads the lines before it sets one, which doubles the cost of every
// change, and a USB adapter pays a USB transfer for each call.)
class ModemLines {
  public:
    explicit ModemLines(NativeSerialHandle handle) : handle_(handle) {}

    // Each returns false on failure, with the system's words in error_text().
    bool set_dtr(bool asserted);
    bool set_rts(bool asserted);
    bool read_dsr(bool& asserted);

    const std::string& error_text() const { return error_; }

  private:
    bool failed();

    NativeSerialHandle handle_;
    std::string error_;
};

}  // namespace quillon

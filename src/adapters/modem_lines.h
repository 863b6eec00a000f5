#pragma once

#include <QSerialPort>
#include <string>
#include <utility>

#include "base/result.h"

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

    // Each fails with the system's words for what went wrong.
    Result<> set_dtr(bool asserted);
    Result<> set_rts(bool asserted);
    // Whether DSR is asserted.
    Result<bool> read_dsr();

  private:
    NativeSerialHandle handle_;
};

}  // namespace quillon

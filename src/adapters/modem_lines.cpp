#include "adapters/modem_lines.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/ioctl.h>

#include <cerrno>
#endif

namespace quillon {

namespace {

// The system's words for the call that just failed.
Failure<Error> system_failure() {
#ifdef Q_OS_WIN
    return failure(Error{qt_error_string(static_cast<int>(::GetLastError())).toStdString()});
#else
    return failure(Error{qt_error_string(errno).toStdString()});
#endif
}

Result<> checked(bool succeeded) {
    if (succeeded) return {};
    return system_failure();
}

}  // namespace

#ifdef Q_OS_WIN

// Not tried on Windows here: written from the Win32 documentation of the two calls.
Result<> ModemLines::set_dtr(bool asserted) {
    return checked(::EscapeCommFunction(handle_, asserted ? SETDTR : CLRDTR) != 0);
}

Result<> ModemLines::set_rts(bool asserted) {
    return checked(::EscapeCommFunction(handle_, asserted ? SETRTS : CLRRTS) != 0);
}

Result<bool> ModemLines::read_dsr() {
    DWORD status = 0;
    if (::GetCommModemStatus(handle_, &status) == 0) return system_failure();
    return (status & MS_DSR_ON) != 0;
}

#else

namespace {

int modem_call(int handle, unsigned long request, int* bits) {
    int result = 0;
    do {
        result = ::ioctl(handle, request, bits);
    } while (result < 0 && errno == EINTR);
    return result;
}

}  // namespace

Result<> ModemLines::set_dtr(bool asserted) {
    int bit = TIOCM_DTR;
    return checked(modem_call(handle_, asserted ? TIOCMBIS : TIOCMBIC, &bit) == 0);
}

Result<> ModemLines::set_rts(bool asserted) {
    int bit = TIOCM_RTS;
    return checked(modem_call(handle_, asserted ? TIOCMBIS : TIOCMBIC, &bit) == 0);
}

Result<bool> ModemLines::read_dsr() {
    int bits = 0;
    if (modem_call(handle_, TIOCMGET, &bits) != 0) return system_failure();
    return (bits & TIOCM_DSR) != 0;
}

#endif

}  // namespace quillon

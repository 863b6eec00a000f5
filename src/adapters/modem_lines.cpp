#include "adapters/modem_lines.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/ioctl.h>

#include <cerrno>
#endif

namespace quillon {

bool ModemLines::failed() {
#ifdef Q_OS_WIN
    error_ = qt_error_string(static_cast<int>(::GetLastError())).toStdString();
#else
    error_ = qt_error_string(errno).toStdString();
#endif
    return false;
}

#ifdef Q_OS_WIN

// Not tried on Windows here: written from the Win32 documentation of the two calls.
bool ModemLines::set_dtr(bool asserted) {
    return ::EscapeCommFunction(handle_, asserted ? SETDTR : CLRDTR) != 0 || failed();
}

bool ModemLines::set_rts(bool asserted) {
    return ::EscapeCommFunction(handle_, asserted ? SETRTS : CLRRTS) != 0 || failed();
}

bool ModemLines::read_dsr(bool& asserted) {
    DWORD status = 0;
    if (::GetCommModemStatus(handle_, &status) == 0) return failed();
    asserted = (status & MS_DSR_ON) != 0;
    return true;
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

bool ModemLines::set_dtr(bool asserted) {
    int bit = TIOCM_DTR;
    return modem_call(handle_, asserted ? TIOCMBIS : TIOCMBIC, &bit) == 0 || failed();
}

bool ModemLines::set_rts(bool asserted) {
    int bit = TIOCM_RTS;
    return modem_call(handle_, asserted ? TIOCMBIS : TIOCMBIC, &bit) == 0 || failed();
}

bool ModemLines::read_dsr(bool& asserted) {
    int bits = 0;
    if (modem_call(handle_, TIOCMGET, &bits) != 0) return failed();
    asserted = (bits & TIOCM_DSR) != 0;
    return true;
}

#endif

}  // namespace quillon

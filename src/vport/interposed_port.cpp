// The virtual serial port inside the program that uses it, loaded with LD_PRELOAD by quillon-vport.
// A pseudo-terminal opens and configures like a serial port but has no modem lines (TIOCMGET on it
// fails with ENOTTY), so the calls that switch and read them are answered here, on the descriptors
// that were opened on the port's device, by a simulated programmer board with a chip in its socket.
// Bytes written there go to the board (a byte of value 1 toggles the supply). Every other call, and
// every other descriptor, goes to the C library untouched.
//
// The board lives as long as the process: a program may close its port from a static destructor,
// after any object of this library would have been destroyed.
#undef _FORTIFY_SOURCE  // the C library's checking wrappers of open() would clash with these

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "vport/virtual_board.h"
#include "vport/vport_options.h"

namespace quillon {
namespace {

// Descriptors open on the port at once: the program's port and a probe at most, in practice.
constexpr int kMaxDescriptors = 16;

struct PortState {
    std::mutex mutex;
    std::atomic<int> descriptors[kMaxDescriptors];  // descriptor + 1; 0 is a free slot
    VirtualBoard* board = nullptr;                  // made at the first open, never destroyed
    bool refused = false;                           // the options or the chip file were unusable
};

// Constant-initialised, so it exists before any constructor runs and through every destructor.
PortState& port_state() {
    static PortState state;
    return state;
}

template <typename Function>
Function next_function(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

using OpenFunction = int (*)(const char*, int, ...);
using OpenAtFunction = int (*)(int, const char*, int, ...);
using CloseFunction = int (*)(int);
using WriteFunction = ssize_t (*)(int, const void*, size_t);
using IoctlFunction = int (*)(int, unsigned long, ...);

bool tracked(int descriptor) {
    for (const std::atomic<int>& slot : port_state().descriptors)
        if (slot.load(std::memory_order_acquire) == descriptor + 1) return true;
    return false;
}

// True when `descriptor` was opened on the device of the virtual port (the path itself or a link
// to it). Takes no lock: loading the chip file opens a file too.
bool opens_virtual_port(int descriptor) {
    const char* device = std::getenv(kVportDeviceVariable);
    if (device == nullptr || *device == '\0') return false;
    struct stat opened {};
    struct stat wanted {};
    return ::fstat(descriptor, &opened) == 0 && S_ISCHR(opened.st_mode) && ::stat(device, &wanted) == 0 &&
           S_ISCHR(wanted.st_mode) && opened.st_rdev == wanted.st_rdev;
}

// Takes a descriptor just opened; false when the port cannot serve it (it is then closed).
bool track(int descriptor) {
    PortState& state = port_state();
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (state.board == nullptr && !state.refused) {
        std::string error;
        Result<std::optional<VportOptions>> options = vport_options_from_environment();
        if (!options.ok()) {
            error = options.error().message;
        } else if (*options) {
            Result<std::unique_ptr<VirtualBoard>> board = VirtualBoard::create(**options);
            if (board.ok()) {
                state.board = std::move(board).value().release();
            } else {
                error = board.error().message;
            }
        }
        if (state.board == nullptr) {
            state.refused = true;
            std::fprintf(stderr, "quillon-vport: the virtual serial port cannot start: %s\n", error.c_str());
        }
    }
    if (state.board == nullptr) return false;
    bool first = true;
    for (const std::atomic<int>& slot : state.descriptors)
        if (slot.load() != 0) first = false;
    for (std::atomic<int>& slot : state.descriptors) {
        if (slot.load() != 0) continue;
        slot.store(descriptor + 1, std::memory_order_release);
        if (first) state.board->opened();
        return true;
    }
    return false;
}

// The mode argument of an open call, which is there only when the call may create a file.
mode_t mode_argument(int flags, va_list& arguments) {
    const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    return creates ? va_arg(arguments, mode_t) : 0;
}

int after_open(int descriptor) {
    if (descriptor < 0 || !opens_virtual_port(descriptor) || track(descriptor)) return descriptor;
    next_function<CloseFunction>("close")(descriptor);
    errno = ENXIO;
    return -1;
}

void untrack(int descriptor) {
    PortState& state = port_state();
    const std::lock_guard<std::mutex> lock(state.mutex);
    bool last = true;
    for (std::atomic<int>& slot : state.descriptors) {
        if (slot.load() == descriptor + 1) {
            slot.store(0, std::memory_order_release);
        } else if (slot.load() != 0) {
            last = false;
        }
    }
    if (!last || state.board == nullptr) return;
    termios settings{};
    const bool hang_up = ::tcgetattr(descriptor, &settings) != 0 || (settings.c_cflag & HUPCL) != 0;
    state.board->closed(hang_up);
}

// The modem-control requests the board answers; -1 for any other.
int serve_modem_call(unsigned long request, void* argument) {
    PortState& state = port_state();
    const std::lock_guard<std::mutex> lock(state.mutex);
    VirtualBoard& board = *state.board;
    int* bits = static_cast<int*>(argument);
    int error = 0;
    switch (request) {
        case TIOCMGET:
            error = board.get_lines(*bits);
            break;
        case TIOCMSET:
            error = board.set_lines(*bits);
            break;
        case TIOCMBIS:
            error = board.raise_lines(*bits);
            break;
        case TIOCMBIC:
            error = board.lower_lines(*bits);
            break;
        default:
            return -1;
    }
    if (error == 0) return 0;
    errno = error;
    return -2;
}

__attribute__((destructor)) void save_at_exit() {
    PortState& state = port_state();
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (state.board != nullptr) state.board->save();
}

}  // namespace
}  // namespace quillon

using quillon::after_open;
using quillon::next_function;
using quillon::tracked;

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = quillon::mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next_function<quillon::OpenFunction>("open");
    return after_open(real(path, flags, mode));
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = quillon::mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next_function<quillon::OpenFunction>("open64");
    return after_open(real(path, flags, mode));
}

int openat(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = quillon::mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next_function<quillon::OpenAtFunction>("openat");
    return after_open(real(folder, path, flags, mode));
}

int openat64(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = quillon::mode_argument(flags, arguments);
    va_end(arguments);
    static const auto real = next_function<quillon::OpenAtFunction>("openat64");
    return after_open(real(folder, path, flags, mode));
}

int close(int descriptor) {
    static const auto real = next_function<quillon::CloseFunction>("close");
    if (tracked(descriptor)) quillon::untrack(descriptor);
    return real(descriptor);
}

ssize_t write(int descriptor, const void* data, size_t size) {
    static const auto real = next_function<quillon::WriteFunction>("write");
    if (!tracked(descriptor)) return real(descriptor, data, size);
    quillon::PortState& state = quillon::port_state();
    const std::lock_guard<std::mutex> lock(state.mutex);
    int error = 0;
    const long taken =
        state.board->write_td(static_cast<const unsigned char*>(data), static_cast<long>(size), error);
    if (taken < 0) errno = error;
    return taken;
}

int ioctl(int descriptor, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (tracked(descriptor) && argument != nullptr) {
        const int served = quillon::serve_modem_call(request, argument);
        if (served == 0) return 0;
        if (served == -2) return -1;
    }
    static const auto real = next_function<quillon::IoctlFunction>("ioctl");
    return real(descriptor, request, argument);
}

}  // extern "C"

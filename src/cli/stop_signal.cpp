#include "cli/stop_signal.h"

#include <csignal>

namespace quillon {

namespace {

// A signal handler can reach nothing but a flag of static storage, so this is the one piece of
// process-wide state outside AppState. The run reads it between frames.
volatile std::sig_atomic_t stop_signalled = 0;

using Handler = void (*)(int);
Handler previous_interrupt = SIG_DFL;
Handler previous_terminate = SIG_DFL;

extern "C" void ask_to_stop(int) {
    stop_signalled = 1;
}

}  // namespace

StopSignals::StopSignals() {
    stop_signalled = 0;
    previous_interrupt = std::signal(SIGINT, ask_to_stop);
    previous_terminate = std::signal(SIGTERM, ask_to_stop);
}

StopSignals::~StopSignals() {
    std::signal(SIGINT, previous_interrupt == SIG_ERR ? SIG_DFL : previous_interrupt);
    std::signal(SIGTERM, previous_terminate == SIG_ERR ? SIG_DFL : previous_terminate);
}

bool StopSignals::requested() {
    return stop_signalled != 0;
}

}  // namespace quillon

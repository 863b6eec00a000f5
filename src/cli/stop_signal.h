#pragma once

namespace quillon {

// While one lives, SIGINT (Ctrl-C) and SIGTERM no longer end quillon-cli at once: they only ask
// the running chip operation to stop, which it does at the end of the ICSP frame in progress,
// powering the chip down. Ending the program in the middle of a run would leave the chip powered,
// perhaps with VPP on. A second signal changes nothing; the stop is already on its way. The
// handlers before it come back when it ends.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // True once a signal came while a StopSignals lived.
    static bool requested();
};

}  // namespace quillon

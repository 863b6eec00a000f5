#pragma once

#include <chrono>
#include <cstdint>

namespace quillon {

class Clock;

// Lets pending window events run, so the window repaints and stays responsive during a long
// operation. A run asks at every line change, far more often than a screen can show, so events run
// at most once per interval unless a forced run is pending. Asking must cost next to nothing even
// when line changes take nanoseconds (a fast port, the simulated board), so the pump also says how
// many requests may pass without a look at the clock: as many as come in a small part of the
// interval, judged from the last two looks.
class EventPump {
  public:
    explicit EventPump(Clock& clock, std::chrono::milliseconds interval = std::chrono::milliseconds(15))
        : clock_(clock), interval_(interval) {}

    // Lets every pending event run now.
    void run_now();
    // Lets pending events run when they are due (see due()).
    void run_if_due() {
        if (due()) run_now();
    }
    // True when events should run now: a run is forced, events never ran, or the interval has
    // passed since they last did.
    bool due();
    // The next due() is true whatever the interval (a caption that must show at once). Also forgets
    // how fast requests came, as a new operation may go at another pace.
    void force_next() {
        forced_ = true;
        requests_per_look_ = 1;
    }
    // How many requests may pass before the next due(); 1 until requests are seen to come fast.
    std::int64_t requests_per_look() const { return requests_per_look_; }
    // Repaints what is pending without taking user input, for redraws inside event handlers
    // (taking input there could start the same handler again).
    void paint_now();

    long long runs() const { return runs_; }

  private:
    Clock& clock_;
    std::chrono::milliseconds interval_;
    std::chrono::nanoseconds last_run_{0};
    std::chrono::nanoseconds last_look_{0};
    bool ran_ = false;
    bool looked_ = false;
    bool forced_ = false;
    std::int64_t requests_per_look_ = 1;
    long long runs_ = 0;
};

}  // namespace quillon

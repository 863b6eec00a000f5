#pragma once

#include <chrono>

namespace quillon {

class Clock;

// Lets pending window events run, so the window repaints and stays responsive during a long
// operation. A run lets events run at every line change, far more often than a screen can show, so
// `run_if_due` does so at most once per interval unless a forced run is pending.
class EventPump {
  public:
    explicit EventPump(Clock& clock, std::chrono::milliseconds interval = std::chrono::milliseconds(15))
        : clock_(clock), interval_(interval) {}

    // Lets every pending event run now.
    void run_now();
    // Lets pending events run when the interval has passed since the last time, or a run is forced.
    void run_if_due();
    // The next run_if_due runs whatever the interval (a caption that must show at once).
    void force_next() { forced_ = true; }
    // Repaints what is pending without taking user input, for redraws inside event handlers
    // (taking input there could start the same handler again).
    void paint_now();

    long long runs() const { return runs_; }

  private:
    Clock& clock_;
    std::chrono::milliseconds interval_;
    std::chrono::nanoseconds last_{0};
    bool ran_ = false;
    bool forced_ = false;
    long long runs_ = 0;
};

}  // namespace quillon

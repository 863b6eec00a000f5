#pragma once

#include <chrono>
#include <cstdint>

namespace quillon {

// Time for the engine and the simulator: a monotonic reading, a millisecond sleep, and a wait
// until a moment of the clock's own time (for the chip's microsecond holds).
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::chrono::nanoseconds now() = 0;
    virtual void sleep_ms(std::int64_t milliseconds) = 0;
    // Returns once now() has reached `deadline`. The default sleeps whole milliseconds, rounded
    // up, until it has.
    virtual void wait_until(std::chrono::nanoseconds deadline);
};

// The real clock: std::chrono::steady_clock never jumps, so elapsed times stay honest. Waits sleep
// while more than a few hundred microseconds remain and spin on the clock for the rest, so a hold of
// a few microseconds lasts a few microseconds and never less.
class SystemClock final : public Clock {
  public:
    std::chrono::nanoseconds now() override;
    void sleep_ms(std::int64_t milliseconds) override;
    void wait_until(std::chrono::nanoseconds deadline) override;
};

// A clock whose sleeps pass at once, advancing its virtual time instead.
class FakeClock final : public Clock {
  public:
    std::chrono::nanoseconds now() override { return now_; }
    void sleep_ms(std::int64_t milliseconds) override;
    void wait_until(std::chrono::nanoseconds deadline) override {
        if (deadline > now_) now_ = deadline;
    }
    void advance(std::chrono::nanoseconds step) { now_ += step; }

  private:
    std::chrono::nanoseconds now_{0};
};

}  // namespace quillon

#pragma once

#include <chrono>
#include <cstdint>

namespace quillon {

// Time for the engine and the simulator: a monotonic reading and a millisecond sleep.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::chrono::nanoseconds now() = 0;
    virtual void sleep_ms(std::int64_t milliseconds) = 0;
};

// The real clock: std::chrono::steady_clock never jumps, so elapsed times stay honest.
class SystemClock final : public Clock {
  public:
    std::chrono::nanoseconds now() override;
    void sleep_ms(std::int64_t milliseconds) override;
};

// A clock whose sleeps pass at once, advancing its virtual time instead.
class FakeClock final : public Clock {
  public:
    std::chrono::nanoseconds now() override { return now_; }
    void sleep_ms(std::int64_t milliseconds) override;
    void advance(std::chrono::nanoseconds step) { now_ += step; }

  private:
    std::chrono::nanoseconds now_{0};
};

}  // namespace quillon

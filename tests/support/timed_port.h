#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/programmer_port.h"

namespace quillon {

// A port whose line changes and DSR reads take known times on a fake clock. DSR shows DTR, as the
// board does while the chip is idle, unless `echo` is off; then it stays at `dsr_level`. Every
// `slow_every`-th change takes `slow_change` instead, every `wrong_every`-th read shows the other level. It
// can fail after a number of changes.
class TimedPort final : public ProgrammerPort {
  public:
    TimedPort(FakeClock& clock, std::chrono::nanoseconds change, std::chrono::nanoseconds read)
        : clock_(clock), change_(change), read_(read) {}

    void set_dtr(bool asserted) override {
        if (change_line()) log.push_back(asserted ? "D" : "d");
        dtr = asserted;
    }
    void set_rts(bool asserted) override {
        if (change_line()) log.push_back(asserted ? "C" : "c");
        rts = asserted;
    }
    bool read_dsr() override {
        if (failed_) return false;
        clock_.advance(read_);
        const bool level = echo ? dtr : dsr_level;
        return wrong_every > 0 && ++reads_ % wrong_every == 0 ? !level : level;
    }
    void write_byte(std::uint8_t) override { ++bytes_written; }
    bool failed() const override { return failed_; }
    std::string failure_text() const override { return failed_ ? "the adapter was unplugged" : ""; }

    bool echo = true;
    bool dsr_level = false;
    int wrong_every = 0;  // every n-th read shows the other level
    int slow_every = 0;
    std::chrono::nanoseconds slow_change{0};
    std::int64_t fail_after = -1;

    bool dtr = true;  // as a port may come up: both lines asserted
    bool rts = true;
    int bytes_written = 0;
    std::vector<std::string> log;  // D/d: DTR up/down, C/c: RTS up/down

  private:
    bool change_line() {
        if (failed_) return false;
        ++changes_;
        if (fail_after >= 0 && changes_ > fail_after) {
            failed_ = true;
            return false;
        }
        const bool slow = slow_every > 0 && changes_ % slow_every == 0;
        clock_.advance(slow ? slow_change : change_);
        return true;
    }

    FakeClock& clock_;
    std::chrono::nanoseconds change_;
    std::chrono::nanoseconds read_;
    std::int64_t changes_ = 0;
    int reads_ = 0;
    bool failed_ = false;
};

}  // namespace quillon

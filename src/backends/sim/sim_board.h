#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "backends/sim/pic18_chip.h"
#include "backends/sim/sim_log.h"
#include "base/clock.h"
#include "base/programmer_port.h"

namespace quillon {

// The programmer board without hardware: DTR drives PGD, RTS drives PGC, each byte sent on TD
// flips the VDD/VPP supply (off at the start), and DSR reads the PGD line. Like the real board,
// whose DATA IN watches DATA OUT, DSR shows the chip's output while the chip drives PGD and
// otherwise the level DATA OUT puts on the line, so an empty socket or an unpowered chip reads
// back whatever DATA OUT shows.
class SimBoard final : public ProgrammerPort {
  public:
    // Line changes take no time of their own (a real clock, or a fake one the caller advances).
    SimBoard(Clock& clock, SimLog& log) : clock_(clock), log_(log) {}
    // Every line change first advances `clock` by `change_cost`, so that timed steps and polling
    // loops run their course in virtual time.
    SimBoard(FakeClock& clock, SimLog& log,
             std::chrono::nanoseconds change_cost = std::chrono::microseconds(1))
        : clock_(clock), log_(log), virtual_clock_(&clock), change_cost_(change_cost) {}

    // Puts a chip into the socket (nullptr empties it). The board does not own the chip.
    void insert_chip(Pic18Chip* chip);
    Pic18Chip* chip() const { return chip_; }

    void set_dtr(bool asserted) override;
    void set_rts(bool asserted) override;
    bool read_dsr() override;
    void write_byte(std::uint8_t value) override;
    bool failed() const override { return failed_; }
    std::string failure_text() const override;

    // Fault injection: after `changes` more line changes the board stops working as if its USB
    // adapter had been pulled: failed() turns true, later changes do nothing and reads give false.
    // The chip keeps the supply and line levels it had. Negative: never.
    void fail_after_changes(std::int64_t changes);

    std::int64_t change_count() const { return changes_; }
    bool supply_on() const { return supply_; }
    bool dtr() const { return dtr_; }
    bool rts() const { return rts_; }

  private:
    bool begin_change();

    Clock& clock_;
    SimLog& log_;
    FakeClock* virtual_clock_ = nullptr;
    std::chrono::nanoseconds change_cost_{0};
    Pic18Chip* chip_ = nullptr;
    bool supply_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    std::int64_t changes_ = 0;
    std::int64_t fail_at_ = -1;
    bool failed_ = false;
};

}  // namespace quillon

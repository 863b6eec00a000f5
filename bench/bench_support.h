// What the benchmarks share: a port that only counts, a host that does nothing, a clock that skips
// its sleeps, and the supplied device library with a full image of a model.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/programmer_port.h"
#include "base/silent_host.h"
#include "model/app_state.h"

namespace quillon::bench {

// A programmer port that only counts: the cheapest port there can be, so that whatever a run
// costs beyond it is the program's own. DATA IN reads `dsr_level`: not asserted unless set, so
// every read gives 0 and a write-completion poll ends at once.
//
// With `device_id` set, the first two bytes read after each power-up give that word, low byte
// first and each bit twice (the two reads of a bit), as a chip answers the table reads of its
// device ID: the window asks the chip who it is before it programs, and refuses an empty socket.
class CountOnlyPort final : public ProgrammerPort {
  public:
    void set_dtr(bool asserted) override {
        ++changes;
        dtr = asserted;
    }
    void set_rts(bool asserted) override {
        ++changes;
        rts = asserted;
    }
    bool read_dsr() override {
        ++reads;
        if (device_id >= 0 && reads_since_power_up_ < kIdReads)
            return ((device_id >> (reads_since_power_up_++ / 2)) & 1) != 0;
        return dsr_level;
    }
    void write_byte(std::uint8_t) override {
        ++changes;
        powered_ = !powered_;
        if (powered_) reads_since_power_up_ = 0;
    }
    bool failed() const override { return false; }

    std::int64_t changes = 0;
    std::int64_t reads = 0;
    bool dsr_level = false;
    bool dtr = false;
    bool rts = false;
    int device_id = -1;

  private:
    static constexpr int kIdReads = 32;
    bool powered_ = false;
    int reads_since_power_up_ = kIdReads;
};

// Real time, but sleeps return at once: a window's event pump sees time pass as it would, while
// the programming pulses and settling times cost nothing.
class UnsleepingClock final : public Clock {
  public:
    std::chrono::nanoseconds now() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void sleep_ms(std::int64_t) override {}
    void wait_until(std::chrono::nanoseconds) override {}
};

// The path of the supplied device library.
std::string supplied_device_file();

// Loads the supplied device library into `state` and selects `model` with erased buffers; false
// when the file or the model is missing.
bool select_supplied_model(AppState& state, std::string_view model);

// Fills FLASH and EEPROM with random bytes (the last byte of each not FF, so that a program script
// writes every page) and leaves the configuration bytes at the model's erased values.
void fill_full_image(AppState& state, unsigned seed);

}  // namespace quillon::bench

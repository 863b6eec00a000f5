#pragma once

#include <cstdint>
#include <string>

#include "base/programmer_port.h"

namespace quillon {

// Passes every line operation on to another port and counts what a serial port is asked for:
// line changes (DTR and RTS, and bytes on TD) and DSR reads. A change to the level a line already
// has is passed on but not counted: the serial backend makes no call for it, the waveform being
// the same. Both lines count as unknown until their first change.
class CountingPort final : public ProgrammerPort {
  public:
    explicit CountingPort(ProgrammerPort& inner) : inner_(inner) {}

    void set_dtr(bool asserted) override {
        count_change(dtr_, asserted);
        inner_.set_dtr(asserted);
    }
    void set_rts(bool asserted) override {
        count_change(rts_, asserted);
        inner_.set_rts(asserted);
    }
    bool read_dsr() override {
        ++reads_;
        return inner_.read_dsr();
    }
    void write_byte(std::uint8_t value) override {
        ++changes_;
        inner_.write_byte(value);
    }
    bool failed() const override { return inner_.failed(); }
    std::string failure_text() const override { return inner_.failure_text(); }

    std::int64_t changes() const { return changes_; }
    std::int64_t reads() const { return reads_; }
    void reset_counts() { changes_ = reads_ = 0; }

  private:
    // -1 unknown, 0 released, 1 asserted.
    void count_change(int& line, bool asserted) {
        if (line == static_cast<int>(asserted)) return;
        line = static_cast<int>(asserted);
        ++changes_;
    }

    ProgrammerPort& inner_;
    std::int64_t changes_ = 0;
    std::int64_t reads_ = 0;
    int dtr_ = -1;
    int rts_ = -1;
};

}  // namespace quillon

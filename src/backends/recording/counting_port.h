#pragma once

#include <cstdint>
#include <string>

#include "base/programmer_port.h"

namespace quillon {

// Passes every line operation on to another port and counts them: line changes (DTR, RTS and
// bytes on TD) and DSR reads.
class CountingPort final : public ProgrammerPort {
  public:
    explicit CountingPort(ProgrammerPort& inner) : inner_(inner) {}

    void set_dtr(bool asserted) override {
        ++changes_;
        inner_.set_dtr(asserted);
    }
    void set_rts(bool asserted) override {
        ++changes_;
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
    ProgrammerPort& inner_;
    std::int64_t changes_ = 0;
    std::int64_t reads_ = 0;
};

}  // namespace quillon

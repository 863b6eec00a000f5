#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "base/clock.h"
#include "base/programmer_port.h"

namespace quillon {

// Passes every line operation on to another port and writes the programmer's signals as a Value
// Change Dump (timescale 1 us), for GTKWave or PulseView: data_out (DTR), clock (RTS), data_in (DSR
// as last read) and vdd_vpp (the board's supply, taken as off at the start and flipped by every
// byte written to TD). Lines not yet driven show as unknown (x). Times come from `clock`, counted
// from the moment the trace starts. Only changes of level are written.
class VcdTracePort final : public ProgrammerPort {
  public:
    VcdTracePort(ProgrammerPort& inner, Clock& clock, std::ostream& out);
    ~VcdTracePort() override;
    VcdTracePort(const VcdTracePort&) = delete;
    VcdTracePort& operator=(const VcdTracePort&) = delete;

    void set_dtr(bool asserted) override;
    void set_rts(bool asserted) override;
    bool read_dsr() override;
    void write_byte(std::uint8_t value) override;
    bool failed() const override { return inner_.failed(); }
    std::string failure_text() const override { return inner_.failure_text(); }
    // A port that sends in blocks keeps doing so behind the trace, which then holds its line
    // changes as they are made and only the DATA IN levels read one at a time.
    LineBatch* line_batch() override { return inner_.line_batch(); }

    // False once writing the trace failed (a full disk); the port itself keeps working.
    bool trace_ok() const { return static_cast<bool>(out_); }

  private:
    enum class Level : char { Unknown = 'x', Low = '0', High = '1' };
    struct Wire {
        char id;
        Level level;
    };

    void record(Wire& wire, bool high);
    void write_header();

    ProgrammerPort& inner_;
    Clock& clock_;
    std::ostream& out_;
    std::chrono::nanoseconds start_;
    std::int64_t last_time_us_ = 0;
    Wire data_out_{'d', Level::Unknown};
    Wire clock_line_{'c', Level::Unknown};
    Wire data_in_{'i', Level::Unknown};
    Wire vdd_vpp_{'v', Level::Low};
};

}  // namespace quillon

#include "backends/recording/vcd_trace_port.h"

#include <utility>

namespace quillon {

VcdTracePort::VcdTracePort(ProgrammerPort& inner, Clock& clock, std::ostream& out)
    : inner_(inner), clock_(clock), out_(out), start_(clock.now()) {
    write_header();
}

VcdTracePort::~VcdTracePort() {
    out_.flush();
}

void VcdTracePort::write_header() {
    out_ << "$version Ardentix Quillon line trace $end\n"
            "$timescale 1 us $end\n"
            "$scope module programmer $end\n";
    for (const auto& [wire, name] : {std::pair{&data_out_, "data_out"}, std::pair{&clock_line_, "clock"},
                                     std::pair{&data_in_, "data_in"}, std::pair{&vdd_vpp_, "vdd_vpp"}})
        out_ << "$var wire 1 " << wire->id << ' ' << name << " $end\n";
    out_ << "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";
    for (const Wire* wire : {&data_out_, &clock_line_, &data_in_, &vdd_vpp_})
        out_ << static_cast<char>(wire->level) << wire->id << '\n';
    out_ << "$end\n";
}

void VcdTracePort::record(Wire& wire, bool high) {
    const Level level = high ? Level::High : Level::Low;
    if (wire.level == level || inner_.failed()) return;  // a failed port changed nothing
    wire.level = level;
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(clock_.now() - start_).count();
    // A clock that stepped back must not make the dump's times go backwards.
    if (elapsed > last_time_us_) {
        last_time_us_ = elapsed;
        out_ << '#' << elapsed << '\n';
    }
    out_ << static_cast<char>(level) << wire.id << '\n';
}

void VcdTracePort::set_dtr(bool asserted) {
    inner_.set_dtr(asserted);
    record(data_out_, asserted);
}

void VcdTracePort::set_rts(bool asserted) {
    inner_.set_rts(asserted);
    record(clock_line_, asserted);
}

bool VcdTracePort::read_dsr() {
    const bool level = inner_.read_dsr();
    record(data_in_, level);
    return level;
}

void VcdTracePort::write_byte(std::uint8_t value) {
    inner_.write_byte(value);
    record(vdd_vpp_, vdd_vpp_.level != Level::High);
}

}  // namespace quillon

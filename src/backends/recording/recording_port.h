#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/programmer_port.h"

namespace quillon {

// One thing that happened on the programmer lines.
struct LineEvent {
    enum class Kind : std::uint8_t { Dtr, Rts, ReadDsr, WriteByte };
    Kind kind;
    int value;  // new line level, DSR level read, or byte written

    bool operator==(const LineEvent&) const = default;
};

// A port without hardware that logs every line change and read. DATA IN follows `dsr_level`, or
// `dsr_source` when set. It can be told to fail after a number of line changes, like an adapter
// pulled out in the middle of a run.
class RecordingPort final : public ProgrammerPort {
  public:
    void set_dtr(bool asserted) override { record(LineEvent::Kind::Dtr, asserted ? 1 : 0); }
    void set_rts(bool asserted) override { record(LineEvent::Kind::Rts, asserted ? 1 : 0); }
    bool read_dsr() override;
    void write_byte(std::uint8_t value) override { record(LineEvent::Kind::WriteByte, value); }
    bool failed() const override { return failed_; }
    std::string failure_text() const override {
        return failed_ ? "the port was disconnected" : std::string();
    }

    bool dsr_level = false;
    std::function<bool()> dsr_source;
    // Fail when this many changes have been made; negative never.
    std::int64_t fail_after_changes = -1;
    bool keep_events = true;

    const std::vector<LineEvent>& events() const { return events_; }
    std::int64_t change_count() const { return changes_; }
    void clear() { events_.clear(); }
    bool dtr() const { return dtr_; }
    bool rts() const { return rts_; }

  private:
    void record(LineEvent::Kind kind, int value);

    std::vector<LineEvent> events_;
    std::int64_t changes_ = 0;
    bool failed_ = false;
    bool dtr_ = false;
    bool rts_ = false;
};

}  // namespace quillon

#include "backends/recording/recording_port.h"

namespace quillon {

void RecordingPort::record(LineEvent::Kind kind, int value) {
    if (failed_) return;
    if (fail_after_changes >= 0 && changes_ >= fail_after_changes) {
        failed_ = true;
        return;
    }
    ++changes_;
    if (kind == LineEvent::Kind::Dtr) dtr_ = value != 0;
    if (kind == LineEvent::Kind::Rts) rts_ = value != 0;
    if (keep_events) events_.push_back({kind, value});
}

bool RecordingPort::read_dsr() {
    if (failed_) return false;
    const bool level = dsr_source ? dsr_source() : dsr_level;
    if (keep_events) events_.push_back({LineEvent::Kind::ReadDsr, level ? 1 : 0});
    return level;
}

}  // namespace quillon

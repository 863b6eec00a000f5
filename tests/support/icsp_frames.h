#pragma once

#include <cstdint>
#include <vector>

#include "backends/recording/recording_port.h"

namespace quillon {

// A 20-clock ICSP frame as the chip latches it: 4 command bits then 16 operand bits, LSB first.
// Sends, reads (whose data phase shows DATA OUT high) and programming pulses all take 20 clocks.
struct IcspFrame {
    int command;
    int operand;
    bool operator==(const IcspFrame&) const = default;
};

inline std::vector<IcspFrame> icsp_frames(const std::vector<LineEvent>& events) {
    std::vector<IcspFrame> frames;
    int dtr = 0;
    int bit = 0;
    IcspFrame frame{0, 0};
    for (const LineEvent& e : events) {
        if (e.kind == LineEvent::Kind::Dtr) dtr = e.value;
        if (e.kind != LineEvent::Kind::Rts || e.value != 0) continue;
        if (bit < 4) {
            frame.command |= dtr << bit;
        } else {
            frame.operand |= dtr << (bit - 4);
        }
        if (++bit == 20) {
            frames.push_back(frame);
            frame = {0, 0};
            bit = 0;
        }
    }
    return frames;
}

}  // namespace quillon

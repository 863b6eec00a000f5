#include "backends/sim/icsp_shifter.h"

namespace quillon {

IcspShifter::Step IcspShifter::falling_edge(bool pgd) {
    if (!in_operand_) {
        if (bits_ == 0) {
            command_ = 0;
            operand_ = 0;
        }
        if (pgd) command_ |= 1 << bits_;
        if (++bits_ < 4) return Step::Bit;
        in_operand_ = true;
        bits_ = 0;
        return Step::CommandLatched;
    }
    if (pgd) operand_ = static_cast<std::uint16_t>(operand_ | (1u << bits_));
    if (++bits_ < 16) return Step::Bit;
    in_operand_ = false;
    bits_ = 0;
    return Step::FrameComplete;
}

}  // namespace quillon

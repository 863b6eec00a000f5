#pragma once

#include <cstdint>

namespace quillon {

// The chip's side of the ICSP wire: counts PGC falling edges into frames of a 4-bit command and a
// 16-bit operand, both least significant bit first, latching PGD on each falling edge.
class IcspShifter {
  public:
    enum class Step { Bit, CommandLatched, FrameComplete };

    Step falling_edge(bool pgd);
    void reset() { *this = IcspShifter{}; }

    bool in_operand() const { return in_operand_; }
    // Bits latched so far in the current field (command 0-3, operand 0-15).
    int bits_latched() const { return bits_; }
    int command() const { return command_; }
    std::uint16_t operand() const { return operand_; }

  private:
    bool in_operand_ = false;
    int bits_ = 0;
    int command_ = 0;
    std::uint16_t operand_ = 0;
};

}  // namespace quillon

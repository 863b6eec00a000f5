#pragma once

#include <cstdint>

namespace quillon::pic18 {

// Access-bank addresses of the special function registers that programming sequences use.
inline constexpr std::uint8_t kTblptru = 0xF8;
inline constexpr std::uint8_t kTblptrh = 0xF7;
inline constexpr std::uint8_t kTblptrl = 0xF6;
inline constexpr std::uint8_t kTablat = 0xF5;
inline constexpr std::uint8_t kEecon1 = 0xA6;
inline constexpr std::uint8_t kEecon2 = 0xA7;
inline constexpr std::uint8_t kEedata = 0xA8;
inline constexpr std::uint8_t kEeadr = 0xA9;
inline constexpr std::uint8_t kEeadrh = 0xAA;

// EECON1 bits.
inline constexpr std::uint8_t kEepgd = 0x80;
inline constexpr std::uint8_t kCfgs = 0x40;
inline constexpr std::uint8_t kFree = 0x10;
inline constexpr std::uint8_t kWrerr = 0x08;
inline constexpr std::uint8_t kWren = 0x04;
inline constexpr std::uint8_t kWr = 0x02;
inline constexpr std::uint8_t kRd = 0x01;

// CONFIG6H (index 11) bit WRTC: 0 write-protects the configuration bytes.
inline constexpr int kConfig6hIndex = 11;
inline constexpr std::uint8_t kWrtc = 0x20;

// TBLPTR is 22 bits wide: TBLPTRU keeps 6.
inline constexpr std::uint32_t kTblptrMask = 0x3FFFFF;

// ICSP 4-bit commands.
inline constexpr int kCoreInstruction = 0b0000;
inline constexpr int kShiftOutTablat = 0b0010;
inline constexpr int kTableRead = 0b1000;
inline constexpr int kTableReadPostInc = 0b1001;
inline constexpr int kTableReadPostDec = 0b1010;
inline constexpr int kTableReadPreInc = 0b1011;
inline constexpr int kTableWrite = 0b1100;
inline constexpr int kTableWritePostInc = 0b1101;
inline constexpr int kTableWrite1110 = 0b1110;
inline constexpr int kTableWriteStartProgramming = 0b1111;

}  // namespace quillon::pic18

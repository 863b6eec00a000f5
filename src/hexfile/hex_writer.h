#pragma once

#include <cstddef>
#include <string>

#include "base/memory_image.h"

namespace quillon {

// How many bytes from address 0 a block of FLASH or EEPROM writes: up to the last byte that is not
// erased (0xFF), rounded up to a whole 16-bit word but never past the buffer's end; 0 when every
// byte is erased.
std::size_t block_length(const std::vector<std::uint8_t>& bytes);

// The whole image as Intel HEX text with CR LF line ends: the FLASH block from 0, the configuration
// record at 0x300000, the EEPROM block at 0xF00000, the end-of-file record. Extended linear address
// records come before the first record of every 64 KB segment. Trailing erased bytes are left out.
std::string write_hex_text(const MemoryImage& image);

}  // namespace quillon

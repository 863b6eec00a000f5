#pragma once

#include <cstdint>

#include "base/memory_image.h"

namespace quillon {

// Where a PIC18 HEX file keeps each memory beyond FLASH (which starts at 0). Configuration bytes
// start at kConfigBaseAddress (buffers/memory_image.h).
inline constexpr std::int64_t kIdLocationsFirst = 0x200000;
inline constexpr std::int64_t kIdLocationsLast = 0x200007;
inline constexpr std::int64_t kDeviceIdFirst = 0x3FFFFE;
inline constexpr std::int64_t kDeviceIdLast = 0x3FFFFF;
inline constexpr std::int64_t kEepromBaseAddress = 0xF00000;

}  // namespace quillon

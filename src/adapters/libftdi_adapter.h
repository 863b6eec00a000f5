#pragma once

#include <memory>
#include <string>

#include "base/bitbang_adapter.h"
#include "base/port_provider.h"
#include "base/result.h"
#include "tools/doctor/system_view.h"

namespace quillon {

// An adapter opened through libftdi, or why it did not open (libftdi's own words).
using FtdiOpenResult = Result<std::unique_ptr<BitBangAdapter>, PortError>;

// Whether this program was built with libftdi: without it the FTDI bit-bang path is not built in
// (libftdi_adapter.cpp or libftdi_missing.cpp, whichever the build found).
bool libftdi_built_in();

// Opens a listed adapter with libftdi: by its serial number when it has one, else by its place on
// the bus. Opening detaches the kernel's serial driver from it (its /dev/ttyUSB device goes away
// while the program holds it) and gives it back on closing.
FtdiOpenResult open_libftdi_adapter(const UsbAdapterFacts& adapter);

}  // namespace quillon

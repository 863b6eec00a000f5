// Built when libftdi was not found: the rest of the program works, and the FTDI port says why it
// cannot open.
#include "adapters/libftdi_adapter.h"

namespace quillon {

bool libftdi_built_in() {
    return false;
}

FtdiOpenResult open_libftdi_adapter(const UsbAdapterFacts& /*adapter*/) {
    return failure(PortError{PortErrorKind::Failed, "the FTDI bit-bang path is not built into this program"});
}

}  // namespace quillon

#pragma once

#include "engine/operations/chip_operations.h"

namespace quillon {

// Program all that leaves the chip's data EEPROM as it was; the image's EEPROM bytes are ignored.
//
// A model with a keep-EEPROM program script (a partial erase that spares the data EEPROM) runs
// that script. Any other model's erase takes the data EEPROM with it, so its bytes are read first,
// saved through `backup` before anything is erased, and written back by the model's own program
// script; a run that fails after the erase names the saved copy. A chip whose data EEPROM is
// read-protected cannot give its bytes, so it is refused untouched, as it is when the copy cannot
// be saved.
RunOutcome program_keeping_eeprom(ChipSession& session, const EepromBackup& backup);

}  // namespace quillon

#pragma once

#include <optional>

#include "engine/operations/chip_operations.h"
#include "model/chip_identity.h"

namespace quillon {

// Powers the chip up in the selected model's order, reads the device ID word (3FFFFF << 8 |
// 3FFFFE) by table reads and powers it down again. Nothing when the port failed on the way, or
// when the model gives no power-up order.
std::optional<int> read_device_id(ChipSession& session);

// Asks the chip in the socket who it is before `operation`, where the session has a SocketCheck and
// the selected model gives its device ID. Erase and program refuse a chip of another model, an
// unknown one and an empty socket before anything is written (unless forced); read, verify and
// blank check warn and go on. Nothing: the operation may run; otherwise its outcome (WrongChip,
// or PortFailed after reporting it).
std::optional<RunOutcome> check_socket(ChipSession& session, Operation operation);

}  // namespace quillon

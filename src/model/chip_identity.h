#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/device_catalog.h"

namespace quillon {

// Who the chip in the socket is, by the word it answers at 3FFFFF:3FFFFE and the models of the
// library that give a "deviceid:" line (model/silicon_lines.h).
struct ChipIdentity {
    enum class Kind : std::uint8_t {
        NoChip,   // 0000 or FFFF: the data line never moved, so no chip took part
        Known,    // a model of the library has this ID
        Unknown,  // a chip answered, but no model of the library has its ID
    };
    Kind kind = Kind::NoChip;
    int word = 0;
    int model_number = 0;  // the model found (Known), 0 otherwise
    std::string model_name;
    int revision = 0;  // the bits outside the model's mask (Known)
};

ChipIdentity identify_chip(const DeviceCatalog& catalog, int word);

// One sentence without a final stop: "PIC18F4550 (device ID 1200, revision 4)", "no chip answers
// (device ID FFFF)", "a chip this library does not know (device ID 2A47)".
std::string identity_text(const ChipIdentity& identity);

// The likely causes of a board on which no chip answers, for the user to look at.
inline constexpr const char* kNoChipCauses =
    "Check that the chip sits the right way round in the socket, that the board has its supply, "
    "and that the cable and the board's wiring are sound";

// What keeps the "deviceid:" of model `number` from naming its part alone: another model whose ID
// is the same under the bits both masks share. One sentence each, without a final stop.
std::vector<std::string> device_id_clashes(const DeviceCatalog& catalog, int number);

}  // namespace quillon

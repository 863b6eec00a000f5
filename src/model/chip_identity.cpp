#include "model/chip_identity.h"

#include <optional>

#include "base/hex_text.h"
#include "model/silicon_lines.h"

namespace quillon {

ChipIdentity identify_chip(const DeviceCatalog& catalog, int word) {
    ChipIdentity identity;
    identity.word = word & 0xFFFF;
    if (identity.word == 0x0000 || identity.word == 0xFFFF) return identity;
    identity.kind = ChipIdentity::Kind::Unknown;
    for (int number = 1; number <= catalog.model_count(); ++number) {
        const DeviceModel& model = catalog.models[static_cast<std::size_t>(number)];
        const std::optional<DeviceId> id = parse_device_id(model.deviceid);
        if (!id || !id->matches(identity.word)) continue;
        identity.kind = ChipIdentity::Kind::Known;
        identity.model_number = number;
        identity.model_name = model.name;
        identity.revision = identity.word & ~id->mask & 0xFFFF;
        break;
    }
    return identity;
}

std::string identity_text(const ChipIdentity& identity) {
    const std::string id = "device ID " + hex4(identity.word);
    switch (identity.kind) {
        case ChipIdentity::Kind::NoChip:
            return "no chip answers (" + id + ")";
        case ChipIdentity::Kind::Known:
            return identity.model_name + " (" + id + ", revision " + std::to_string(identity.revision) + ")";
        case ChipIdentity::Kind::Unknown:
            break;
    }
    return "a chip this library does not know (" + id + ")";
}

std::vector<std::string> device_id_clashes(const DeviceCatalog& catalog, int number) {
    std::vector<std::string> clashes;
    const std::optional<DeviceId> own =
        parse_device_id(catalog.models.at(static_cast<std::size_t>(number)).deviceid);
    if (!own) return clashes;
    for (int other = 1; other <= catalog.model_count(); ++other) {
        if (other == number) continue;
        const DeviceModel& model = catalog.models[static_cast<std::size_t>(other)];
        const std::optional<DeviceId> id = parse_device_id(model.deviceid);
        if (!id) continue;
        const int shared = own->mask & id->mask;
        if ((own->id & shared) != (id->id & shared)) continue;
        clashes.push_back("deviceid: " + hex4(own->id) + " " + hex4(own->mask) +
                          " does not tell this part from " + model.name + " (model " + std::to_string(other) +
                          "), which gives " + hex4(id->id) + " " + hex4(id->mask));
    }
    return clashes;
}

}  // namespace quillon

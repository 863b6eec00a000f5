#include "model/device_catalog.h"

namespace quillon {

const std::string& DeviceModel::script_text(Operation op) const {
    static const std::string empty;
    const ScriptText& text = script[static_cast<std::size_t>(op)];
    return text ? *text : empty;
}

const char* operation_name(Operation op) {
    switch (op) {
        case Operation::Erase:
            return "erase";
        case Operation::Program:
            return "program";
        case Operation::Read:
            return "read";
        case Operation::BlankCheck:
            return "blank check";
        case Operation::Verify:
            return "verify";
    }
    return "";
}

}  // namespace quillon

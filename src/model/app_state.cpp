#include "model/app_state.h"

namespace quillon {

const AlgorithmScript& ActiveDevice::script_for(Operation op) const {
    switch (op) {
        case Operation::Erase:
            return erase_script;
        case Operation::Program:
            return program_script;
        case Operation::Read:
            return read_script;
        case Operation::BlankCheck:
            return blank_check_script;
        case Operation::Verify:
            return verify_script;
    }
    return erase_script;
}

}  // namespace quillon

#include "ui/config_cell_view.h"

#include "base/host.h"
#include "model/app_state.h"
#include "model/config_decode.h"

namespace quillon {

std::string config_cell_tip(const AppState& state, int byte) {
    std::string tip = kConfigTip;
    for (const DecodedSetting& decoded : decode_config(state.silicon, state.image.config, byte))
        tip += "\n" + decoded_text(decoded);
    return tip;
}

bool program_all_confirmed(const AppState& state, Host& host) {
    const std::string question = protection_question(state.silicon, state.image.config);
    if (question.empty()) return true;
    if (host.show_message(question, MessageKind::YesNoDefaultNo, "Program All") == MessageAnswer::Yes)
        return true;
    host.set_status("Program All cancelled; the chip was not touched.");
    return false;
}

}  // namespace quillon

#pragma once

#include <string>
#include <string_view>

#include "base/host.h"

namespace quillon {

// A host nobody watches (counting runs, library checks, benchmarks): captions and redraws go
// nowhere, a message is kept for whoever reports on the run and answered OK, a question gets empty
// text. Having no events to run, it asks for no yields.
class SilentHost final : public Host {
  public:
    SilentHost() { yield_every(kNoYields); }
    void set_status(std::string_view) override {}
    void set_loaded_file(std::string_view) override {}
    MessageAnswer show_message(std::string_view text, MessageKind, std::string_view) override {
        last_message = std::string(text);
        return MessageAnswer::Ok;
    }
    std::string ask_text(std::string_view, std::string_view, std::string_view) override { return {}; }
    void yield() override {}
    void disable() override {}
    void enable() override {}
    void updatedisplay() override {}

    std::string last_message;
};

}  // namespace quillon

#pragma once

#include <string>

#include "base/host.h"
#include "engine/script/run_progress.h"

namespace quillon {

class EventPump;
class MainWindow;
class UserDialogs;

// The host of operations started from the main window: captions go to its labels, messages and
// prompts to the program's dialogs, and yields to the window's event pump.
//
// While the window is busy with an operation, a status caption is held and shown when events next
// run: a run changes it for every byte, far more often than it can be read or painted. Every other
// request, and the end of the operation, shows a held caption first.
class GuiHost final : public Host {
  public:
    GuiHost(MainWindow& window, UserDialogs& dialogs, EventPump& pump)
        : window_(window), dialogs_(dialogs), pump_(pump) {}

    void set_status(std::string_view text) override;
    void set_loaded_file(std::string_view text) override;
    MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title) override;
    std::string ask_text(std::string_view prompt, std::string_view title,
                         std::string_view default_text) override;
    void yield() override;
    void disable() override;
    void enable() override;
    void updatedisplay() override;
    bool stop_requested() override;
    void show_progress(const RunProgress& progress) override;

  private:
    void show_held_status();

    MainWindow& window_;
    UserDialogs& dialogs_;
    EventPump& pump_;
    std::string held_status_;  // reused, so that holding a caption allocates nothing
    bool status_held_ = false;
    // The progress comes with every caption and is shown, like them, when events next run.
    RunProgress held_progress_;
    bool progress_held_ = false;
    ProgressTeller progress_text_;
};

}  // namespace quillon

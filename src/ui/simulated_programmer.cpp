#include "ui/simulated_programmer.h"

#include <filesystem>

#include "backends/sim/chip_hex.h"
#include "backends/sim/chip_model.h"
#include "backends/sim/sim_board.h"
#include "base/clock.h"
#include "base/host.h"
#include "hexfile/file_io.h"
#include "model/app_state.h"
#include "ports/port_manager.h"
#include "ports/port_status.h"

namespace quillon {

SimulatedProgrammer::SimulatedProgrammer(AppState& state, Host& host, Clock& clock, std::string chip_folder)
    : state_(state), host_(host), clock_(clock), folder_(std::move(chip_folder)) {
    if (!folder_.empty() && folder_.back() != '/' && folder_.back() != '\\') folder_ += '/';
}

SimulatedProgrammer::~SimulatedProgrammer() = default;

std::string SimulatedProgrammer::chip_file(std::string_view model_name) const {
    return folder_ + std::string(model_name) + ".hex";
}

void SimulatedProgrammer::stop_without_port(PortManager& ports, const std::string& status) {
    release(ports);
    ports.close_port();
    host_.set_status(status);
}

bool SimulatedProgrammer::attach(PortManager& ports) {
    // The chip on the board now goes to its file first: the new one may be the same model.
    if (sim_) save_chip();
    const std::optional<ChipModel> model = find_chip_model(state_.model_name);
    if (!model) {
        stop_without_port(ports, "The simulated board has no " + state_.model_name + " chip!");
        return false;
    }
    SimulatedBoard made = build_simulated_board(*model, {clock_, log_});
    const std::string path = chip_file(model->name);
    std::error_code error;
    if (std::filesystem::exists(path_from_utf8(path), error)) {
        const Result<> loaded = load_chip_file(path, *model, made.chip().memory());
        if (!loaded.ok()) {
            stop_without_port(ports, port_status_text(simulated_board_name(model->name), PortStatus::Error));
            host_.show_message(
                "The memories of the simulated " + model->name +
                    " cannot be read from their file: " + loaded.error().message +
                    ".\r\nThe simulated board stays off until that file is repaired or removed.",
                MessageKind::Error, state_.product_title);
            return false;
        }
    }
    std::unique_ptr<ProgrammerPort> board = made.take_port();
    const ProgrammerPort* new_board = board.get();
    // Attaching closes the board that held the chip before; only then can that chip go.
    const Result<void, PortError> refused =
        ports.attach_port(std::move(board), simulated_board_name(model->name));
    sim_.reset();
    if (!refused.ok()) {
        host_.show_message(refused.error().message, MessageKind::Error, state_.product_title);
        return false;
    }
    sim_ = std::move(made);
    chip_path_ = path;
    board_ = new_board;
    return true;
}

void SimulatedProgrammer::release(PortManager& ports) {
    if (!sim_) return;
    if (ports.holds(board_)) ports.close_port();
    board_ = nullptr;
    save_chip();
    sim_.reset();
}

bool SimulatedProgrammer::save_chip() {
    if (!sim_) return false;
    // Whatever has run its course by now (an erase, a data EEPROM write) is in the cells.
    sim_->chip().settle();
    // Nobody reads the board's log in the window; it must not grow for the life of the program.
    log_.clear();
    std::error_code error;
    std::filesystem::create_directories(path_from_utf8(folder_), error);
    const Result<> saved = save_chip_file(chip_path_, sim_->chip().memory());
    if (saved.ok()) return true;
    host_.show_message("The memories of the simulated chip could not be kept: " + saved.error().message + ".",
                       MessageKind::Error, state_.product_title);
    return false;
}

}  // namespace quillon

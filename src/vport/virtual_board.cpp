#include "vport/virtual_board.h"

#include <sys/ioctl.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

#include "backends/sim/chip_hex.h"

namespace quillon {

namespace {

// Files written whole or not at all: a test or the bench reads them while nothing else runs, but a
// killed program must not leave half a file behind.
bool write_file(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

int line_bit(int bits, int line) {
    return (bits & line) != 0 ? 1 : 0;
}

}  // namespace

std::string VportCounts::to_text() const {
    std::string text;
    const auto line = [&text](const char* name, std::int64_t value) {
        text += std::string(name) + " " + std::to_string(value) + "\n";
    };
    line("calls", calls());
    line("minimum", minimum());
    line("tiocmget", get);
    line("tiocmset", set);
    line("tiocmbis", bis);
    line("tiocmbic", bic);
    line("refused", refused);
    line("td_bytes", td_bytes);
    line("dtr_changes", dtr_changes);
    line("rts_changes", rts_changes);
    line("bits_out", bits_out);
    return text;
}

Result<std::unique_ptr<VirtualBoard>> VirtualBoard::create(const VportOptions& options) {
    const std::optional<ChipModel> model = find_chip_model(options.model);
    if (!model) return failure(Error{"the virtual board has no " + options.model + " chip"});
    std::unique_ptr<VirtualBoard> board(new VirtualBoard(options, *model));
    std::error_code missing;
    if (!options.chip_file.empty() && std::filesystem::exists(options.chip_file, missing)) {
        Result<> loaded = load_chip_file(options.chip_file, *model, board->chip_.memory());
        if (!loaded.ok()) return failure(std::move(loaded).error());
    }
    return board;
}

VirtualBoard::VirtualBoard(const VportOptions& options, const ChipModel& model)
    : options_(options),
      sim_(build_simulated_board(model, {clock_, log_})),
      chip_(sim_.chip()),
      board_(sim_.board()) {}

void VirtualBoard::drive_pgd(bool level) {
    if (options_.swap_lines) {
        board_.set_rts(level);
    } else {
        board_.set_dtr(level);
    }
}

void VirtualBoard::drive_pgc(bool level) {
    if (options_.swap_lines) {
        board_.set_dtr(level);
    } else {
        board_.set_rts(level);
    }
    if (level && chip_.drives_pgd()) ++counts_.bits_out;
}

void VirtualBoard::change_lines(int dtr, int rts, bool by_call) {
    if (dtr >= 0 && (dtr != 0) != dtr_) {
        dtr_ = dtr != 0;
        if (by_call) ++counts_.dtr_changes;
        drive_pgd(dtr_);
    }
    if (rts >= 0 && (rts != 0) != rts_) {
        rts_ = rts != 0;
        if (by_call) ++counts_.rts_changes;
        drive_pgc(rts_);
    }
}

void VirtualBoard::opened() {
    change_lines(1, 1, false);
}

void VirtualBoard::closed(bool hang_up) {
    if (hang_up) change_lines(0, 0, false);
    save();
}

void VirtualBoard::wait_out_call() const {
    if (options_.call_delay_us <= 0) return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(options_.call_delay_us);
    // Long delays sleep most of the way; the rest is spun, as a short sleep overshoots by far.
    if (options_.call_delay_us > 200)
        std::this_thread::sleep_for(std::chrono::microseconds(options_.call_delay_us - 100));
    while (std::chrono::steady_clock::now() < until) {
    }
}

bool VirtualBoard::pulled() const {
    return options_.fail_after >= 0 && counts_.calls() - counts_.refused >= options_.fail_after;
}

bool VirtualBoard::serve(std::int64_t& counter) {
    const bool refuse = pulled();
    ++counter;
    wait_out_call();
    clock_.advance(std::chrono::microseconds(options_.call_cost_us));
    if (refuse) ++counts_.refused;
    return !refuse;
}

int VirtualBoard::get_lines(int& bits) {
    if (!serve(counts_.get)) return EIO;
    bits = (dtr_ ? TIOCM_DTR : 0) | (rts_ ? TIOCM_RTS : 0) | (board_.read_dsr() ? TIOCM_DSR : 0);
    return 0;
}

int VirtualBoard::set_lines(int bits) {
    if (!serve(counts_.set)) return EIO;
    change_lines(line_bit(bits, TIOCM_DTR), line_bit(bits, TIOCM_RTS), true);
    return 0;
}

int VirtualBoard::raise_lines(int bits) {
    if (!serve(counts_.bis)) return EIO;
    change_lines((bits & TIOCM_DTR) != 0 ? 1 : -1, (bits & TIOCM_RTS) != 0 ? 1 : -1, true);
    return 0;
}

int VirtualBoard::lower_lines(int bits) {
    if (!serve(counts_.bic)) return EIO;
    change_lines((bits & TIOCM_DTR) != 0 ? 0 : -1, (bits & TIOCM_RTS) != 0 ? 0 : -1, true);
    return 0;
}

long VirtualBoard::write_td(const unsigned char* data, long size, int& error) {
    if (pulled()) {
        error = EIO;
        return -1;
    }
    for (long i = 0; i < size; ++i) {
        if (data[i] != 1) continue;
        ++counts_.td_bytes;
        const bool was_on = board_.supply_on();
        board_.write_byte(1);
        if (was_on) save();  // a chip that was switched off keeps what it was given
    }
    return size;
}

void VirtualBoard::save() {
    chip_.settle();
    // Nobody is there to tell of a chip file that cannot be written: the program on the port
    // runs on, and the test or user that named the file finds it unchanged.
    if (!options_.chip_file.empty()) save_chip_file(options_.chip_file, chip_.memory());
    if (!options_.counts_file.empty()) write_file(options_.counts_file, counts_.to_text());
    if (!options_.log_file.empty()) write_file(options_.log_file, log_.to_text());
}

}  // namespace quillon

#include "backends/sim/sim_board.h"

namespace quillon {

void SimBoard::insert_chip(Pic18Chip* chip) {
    if (chip_ != nullptr && supply_) chip_->set_supply(false, rts_, dtr_);
    chip_ = chip;
    if (chip_ != nullptr && supply_) chip_->set_supply(true, rts_, dtr_);
}

bool SimBoard::begin_change() {
    if (failed_) return false;
    if (fail_at_ >= 0 && changes_ >= fail_at_) {
        failed_ = true;
        log_.refusal(clock_.now(), "board disconnected after " + std::to_string(changes_) + " line changes");
        return false;
    }
    ++changes_;
    if (virtual_clock_ != nullptr) virtual_clock_->advance(change_cost_);
    return true;
}

void SimBoard::set_dtr(bool asserted) {
    if (!begin_change()) return;
    dtr_ = asserted;
    if (chip_ != nullptr) chip_->set_pgd(asserted);
}

void SimBoard::set_rts(bool asserted) {
    if (!begin_change()) return;
    rts_ = asserted;
    if (chip_ != nullptr) chip_->set_pgc(asserted);
}

void SimBoard::write_byte(std::uint8_t /*value*/) {
    if (!begin_change()) return;
    supply_ = !supply_;
    if (chip_ != nullptr) chip_->set_supply(supply_, rts_, dtr_);
}

bool SimBoard::read_dsr() {
    if (failed_) return false;
    if (chip_ != nullptr) {
        chip_->settle();
        if (chip_->drives_pgd()) return chip_->pgd_output();
    }
    return dtr_;
}

std::string SimBoard::failure_text() const {
    return failed_ ? "the simulated programmer board was disconnected" : std::string();
}

void SimBoard::fail_after_changes(std::int64_t changes) {
    fail_at_ = changes < 0 ? -1 : changes_ + changes;
}

}  // namespace quillon

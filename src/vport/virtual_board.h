#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "backends/sim/pic18_chip.h"
#include "backends/sim/sim_board.h"
#include "backends/sim/sim_log.h"
#include "backends/sim/simulated_board.h"
#include "base/clock.h"
#include "base/result.h"
#include "vport/vport_options.h"

namespace quillon {

// The real clock, ahead by the time the calls served so far count for: a chip on a slow port sees
// its writes finish within fewer polls, without the run having to wait for it.
class PacedClock final : public Clock {
  public:
    std::chrono::nanoseconds now() override { return real_.now() + ahead_; }
    void sleep_ms(std::int64_t milliseconds) override { real_.sleep_ms(milliseconds); }
    void advance(std::chrono::nanoseconds step) { ahead_ += step; }

  private:
    SystemClock real_;
    std::chrono::nanoseconds ahead_{0};
};

// The modem-control calls the virtual port served, and what they did to the board.
struct VportCounts {
    std::int64_t get = 0;      // TIOCMGET
    std::int64_t set = 0;      // TIOCMSET
    std::int64_t bis = 0;      // TIOCMBIS
    std::int64_t bic = 0;      // TIOCMBIC
    std::int64_t refused = 0;  // of those, answered with EIO after the port was pulled
    std::int64_t td_bytes = 0;
    std::int64_t dtr_changes = 0;  // calls that gave DTR another level
    std::int64_t rts_changes = 0;  // calls that gave RTS another level
    std::int64_t bits_out = 0;     // clock pulses on which the chip shifted a bit out on PGD

    std::int64_t calls() const { return get + set + bis + bic; }
    // What an operation cannot do with less: every level change, and two DSR reads per bit the chip
    // shifts out (the program samples each bit twice).
    std::int64_t minimum() const { return dtr_changes + rts_changes + 2 * bits_out; }
    // "name value" lines, the file format of --counts.
    std::string to_text() const;
};

// The programmer board behind the virtual serial port: the simulated board with a chip of the
// chosen model on the modem lines as a UART has them. DTR drives PGD and RTS drives PGC (crossed
// when the options say so), each byte of value 1 on TD toggles the supply, DSR shows PGD. The
// chip runs on the real clock, like a chip on a real board. Every modem-control call is counted;
// after `fail_after` calls the port answers EIO as a USB adapter that was pulled out does, every
// call can be made to take `call_delay`, or to count as `call_cost` on the chip's clock.
//
// The calls return 0 or an errno value.
class VirtualBoard {
  public:
    // Loads the chip from its file when there is one; fails with why the board cannot start.
    static Result<std::unique_ptr<VirtualBoard>> create(const VportOptions& options);

    // The device opened (for the first time) or closed (for the last time). Opening raises DTR and
    // RTS, as Linux does on a real port; closing drops them when `hang_up` (termios HUPCL) is set.
    void opened();
    void closed(bool hang_up);

    int get_lines(int& bits);
    int set_lines(int bits);
    int raise_lines(int bits);
    int lower_lines(int bits);
    // Bytes written to TD; how many the board took, or -1 with `error` set.
    long write_td(const unsigned char* data, long size, int& error);

    // Keeps the chip in its file and writes the counts (and the chip's log), where the options
    // name files for them.
    void save();

    const VportCounts& counts() const { return counts_; }
    bool powered() const { return board_.supply_on(); }
    const Pic18Chip& chip() const { return chip_; }

  private:
    VirtualBoard(const VportOptions& options, const ChipModel& model);

    // True once `fail_after` calls were served: the adapter is gone.
    bool pulled() const;
    // Counts the call; false (the port answers EIO) once the port was pulled.
    bool serve(std::int64_t& counter);
    void wait_out_call() const;
    void change_lines(int dtr, int rts, bool by_call);  // -1 leaves a line as it is
    void drive_pgd(bool level);
    void drive_pgc(bool level);

    VportOptions options_;
    PacedClock clock_;
    SimLog log_;
    SimulatedBoard sim_;
    Pic18Chip& chip_;
    SimBoard& board_;
    bool dtr_ = false;
    bool rts_ = false;
    VportCounts counts_;
};

}  // namespace quillon

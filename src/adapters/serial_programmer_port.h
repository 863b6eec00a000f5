#pragma once

#include <QSerialPort>
#include <cstdint>
#include <memory>
#include <string>

#include "adapters/modem_lines.h"
#include "base/programmer_port.h"

namespace quillon {

// The programmer port on a real serial port. Works without an event loop. DTR and RTS are switched
// and DSR is read with one system call each on the port's native handle; a change to the level a
// line already has makes no call at all, since the board sees the same waveform. QSerialPort opens
// the port, sets its line settings and sends the TD byte. The first operation that fails (the
// adapter was unplugged, the device reports an error, the lines cannot be switched) marks the port
// failed for good; after that every operation does nothing and reads give false.
class SerialProgrammerPort final : public ProgrammerPort {
  public:
    // Takes an opened port.
    explicit SerialProgrammerPort(std::unique_ptr<QSerialPort> serial);
    ~SerialProgrammerPort() override;
    SerialProgrammerPort(const SerialProgrammerPort&) = delete;
    SerialProgrammerPort& operator=(const SerialProgrammerPort&) = delete;

    void set_dtr(bool asserted) override;
    void set_rts(bool asserted) override;
    bool read_dsr() override;
    // Returns once the byte has left the machine's transmit buffer.
    void write_byte(std::uint8_t value) override;
    bool failed() const override;
    std::string failure_text() const override { return failure_; }

  private:
    // What the port last set a line to. Unknown until the first change: some systems raise DTR
    // and RTS when a port opens, others keep what the last program left.
    enum class Level : std::uint8_t { Unknown, Released, Asserted };

    bool ready();
    void check(bool succeeded);
    void fail(std::string reason);
    void change(Level& line, bool asserted, Result<> (ModemLines::*set_line)(bool));

    std::unique_ptr<QSerialPort> serial_;
    ModemLines lines_;
    Level dtr_ = Level::Unknown;
    Level rts_ = Level::Unknown;
    bool failed_ = false;
    std::string failure_;
};

}  // namespace quillon

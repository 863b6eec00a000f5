#pragma once

#include <QSerialPort>
#include <memory>
#include <string>

#include "base/programmer_port.h"

namespace quillon {

// The programmer port on a real serial port. Works without an event loop. The first operation that
// fails (the adapter was unplugged, the device reports an error, the lines cannot be switched) marks
// the port failed for good; after that every operation does nothing and reads give false.
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
    bool ready();
    void check(bool succeeded);
    void fail(const QString& reason);

    std::unique_ptr<QSerialPort> serial_;
    bool failed_ = false;
    std::string failure_;
};

}  // namespace quillon

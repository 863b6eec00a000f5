#pragma once

#include <cstdint>
#include <string>

namespace quillon {

// One opened USB serial adapter of the FTDI kind, driven in synchronous bit-bang mode: the calls
// the FTDI programmer port makes, shaped after libftdi's (ftdi_set_latency_timer,
// ftdi_set_bitmode, ftdi_set_baudrate, ftdi_write_data, ftdi_read_data). libftdi stands behind it
// for a real adapter, a model of the chip and its USB timing in the tests and with --port ftdisim.
//
// In synchronous bit-bang mode every byte written is one state of the eight pins D0..D7, held for
// one tick of the rate, and the chip sends back one byte per state written: the pins as they were
// read just before that state was put out (FTDI knowledge base, "Synchronous Bit Bang Mode": the
// chip "will read the data bus pins first, before it sends out the byte").
class BitBangAdapter {
  public:
    enum class Mode : std::uint8_t {
        Reset = 0x00,        // BITMODE_RESET: back to the UART
        SyncBitBang = 0x04,  // BITMODE_SYNCBB
    };

    virtual ~BitBangAdapter() = default;

    // Each returns 0 on success and a negative number on failure, with error_text() saying why.
    virtual int set_latency_timer(std::uint8_t milliseconds) = 0;
    // `output_mask`: the pins that are outputs (1 bits); the others are inputs.
    virtual int set_bitmode(std::uint8_t output_mask, Mode mode) = 0;
    // In bit-bang modes the rate of pin states per second (libftdi scales the UART divisor).
    virtual int set_baudrate(int rate) = 0;
    // Drops what the chip holds in both directions.
    virtual int purge_buffers() = 0;
    // The number of bytes taken, or negative.
    virtual int write_data(const std::uint8_t* data, int size) = 0;
    // The number of bytes read (0 when none has arrived yet), or negative.
    virtual int read_data(std::uint8_t* data, int size) = 0;
    virtual std::string error_text() const = 0;

    // The chip's receive buffer: in synchronous mode at most this many states may be written
    // whose samples have not been read back, or the chip stops and the write stalls.
    virtual int fifo_size() const = 0;
};

}  // namespace quillon

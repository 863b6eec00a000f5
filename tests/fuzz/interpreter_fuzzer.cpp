// Fuzzed scripts run as a program script against a simulated PIC18F1220 on a virtual clock. A run
// must end (the interpreter's bounds on loops, waits and write polls) and never touch memory
// outside the image, whatever the words and the page size. The image is smaller than the chip's
// memory: the scripts take their loop ends from the image sizes, and short loops let the fuzzer try
// many more scripts in the same time.
#include <cstdint>
#include <string>
#include <string_view>

#include "backends/sim/sim_board.h"
#include "engine/operations/chip_operations.h"
#include "model/select_model.h"
#include "support/recording_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    quillon::AppState state;
    state.model_name = "PIC18F1220";
    constexpr int kFlashSize = 64;
    constexpr int kEepromSize = 16;
    state.flash_size = kFlashSize;
    state.eeprom_size = kEepromSize;
    state.voltage_sequence = 1 + data[0] % 2;
    state.page_size = data[1] % 3 == 0 ? 0 : 8 << (data[1] % 3);
    state.prog_time_ms = 1;
    state.port_open = true;
    state.image.flash.assign(kFlashSize, 0xFF);
    state.image.eeprom.assign(kEepromSize, 0xFF);
    for (std::size_t i = 2; i < size && i < 64; ++i)
        state.image.flash[i * 37 % kFlashSize] = data[i];
    state.program_script =
        quillon::split_script(std::string(reinterpret_cast<const char*>(data) + 2, size - 2));

    quillon::FakeClock clock;
    quillon::SimLog log;
    auto chip = quillon::make_chip("PIC18F1220", clock, log);
    quillon::SimBoard board(clock, log);
    board.insert_chip(chip.get());
    quillon::RecordingHost host;
    quillon::ChipSession session{state, host, clock, &board};
    quillon::program_all(session);
    return 0;
}

// Any text fed to the Intel HEX reader must end in a verdict, never in a crash or a hang, and a
// file the reader accepts must survive a save and a second load unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"

namespace {

quillon::MemoryImage erased_image(std::size_t flash, std::size_t eeprom) {
    quillon::MemoryImage image;
    image.flash.assign(flash, 0xFF);
    image.eeprom.assign(eeprom, 0xFF);
    image.config.value.fill(0xFF);
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quillon::MemoryImage image = erased_image(0x8000, 256);
    const quillon::HexReadResult result = quillon::read_hex_text(text, image);
    if (!result.accepted()) return 0;

    quillon::MemoryImage again = erased_image(0x8000, 256);
    const quillon::HexReadResult reread = quillon::read_hex_text(quillon::write_hex_text(image), again);
    if (reread.outcome != quillon::HexReadOutcome::Accepted || again.flash != image.flash ||
        again.eeprom != image.eeprom || again.config != image.config) {
        std::abort();  // the writer produced what the reader does not give back
    }
    return 0;
}

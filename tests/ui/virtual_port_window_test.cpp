// The window's Program All on the virtual serial port: this test program runs under quillon-vport,
// so the window opens a pseudo-terminal through the real serial backend, on the real clock, and a
// simulated board answers its modem lines. Every other port number leads into an empty folder.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <map>
#include <sstream>

#include "adapters/serial_port_provider.h"
#include "backends/sim/chip_hex.h"
#include "base/clock.h"
#include "base/memory_settings_store.h"
#include "model/device_file.h"
#include "ports/port_manager.h"
#include "ports/serial_device_map.h"
#include "ui/main_window.h"
#include "ui/scripted_dialogs.h"
#include "ui/supplied_library.h"
#include "ui/theme_state.h"

namespace quillon {
namespace {

TEST(VirtualPortWindow, ProgramAllWritesTheChipThroughTheSerialBackend) {
    const char* device = std::getenv("QUILLON_VPORT_DEVICE");
    if (device == nullptr) GTEST_SKIP() << "not started by quillon-vport";
    const std::string library = supplied_device_library();
    ASSERT_FALSE(library.empty());
    TempDir dir;
    // The board reads these when the port is first opened.
    const std::string chip_file = dir.file("chip.hex");
    const std::string counts_file = dir.file("counts.txt");
    ::setenv("QUILLON_VPORT_MODEL", "PIC18F452", 1);
    ::setenv("QUILLON_VPORT_CHIP", chip_file.c_str(), 1);
    ::setenv("QUILLON_VPORT_COUNTS", counts_file.c_str(), 1);

    AppState state;
    parse_device_text(state.catalog, library);
    state.model_count = state.catalog.model_count();
    state.program_folder = dir.path() + "/";
    MemorySettingsStore settings;
    for (int number = 1; number <= 16; ++number)
        settings.put_text(serial_device_setting_name(number), dir.file("missing-" + std::to_string(number)));
    settings.put_text(serial_device_setting_name(16), device);
    settings.set_number_setting("Serial Port Number", 16);
    ThemeState theme;
    ScriptedDialogs dialogs;
    SystemClock clock;
    MainWindow window(MainWindowServices{state, theme, settings, dialogs, clock});
    SerialPortProvider provider(settings);
    PortManager ports(state, settings, window.host(), provider);
    window.set_port_manager(&ports);
    window.load();
    QLabel* status = window.findChild<QLabel*>(QStringLiteral("label_status"));
    ASSERT_NE(status, nullptr);
    ASSERT_EQ(status->text(), "Serial port COM16 ready...");
    ASSERT_EQ(state.model_name, "PIC18F452");

    // A few pages, so that the chip's real programming time stays short.
    for (std::size_t i = 0; i < 0x200; ++i)
        state.image.flash[i] = static_cast<std::uint8_t>(i * 5 + 2);
    state.image.eeprom[1] = 0x5A;
    window.updatedisplay();
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_TRUE(status->text().startsWith("Chip programmed. ")) << status->text().toStdString();
    EXPECT_TRUE(dialogs.messages.empty());

    // The chip keeps what it was given in its file once the supply is off.
    const std::optional<ChipModel> model = find_chip_model("PIC18F452");
    ChipMemory chip;
    ASSERT_TRUE(load_chip_file(chip_file, *model, chip).ok());
    EXPECT_EQ(chip.flash, state.image.flash);
    EXPECT_EQ(chip.eeprom, state.image.eeprom);

    std::map<std::string, std::int64_t> counts;
    std::istringstream lines(TempDir::read(counts_file));
    std::string name;
    std::int64_t value = 0;
    while (lines >> name >> value)
        counts[name] = value;
    EXPECT_LE(counts["calls"], counts["minimum"] + 2) << "one system call per line change and DSR read";
}

}  // namespace
}  // namespace quillon

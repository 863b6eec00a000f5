#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <filesystem>

#include "hexfile/hex_file_commands.h"
#include "hexfile/hex_reader.h"
#include "model/device_file.h"
#include "model/reset_buffers.h"
#include "model/select_model.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

AppState image_state() {
    AppState state;
    state.flash_size = 32768;
    state.eeprom_size = 256;
    reset_buffers(state);
    for (std::size_t i = 0; i < state.image.flash.size(); ++i)
        state.image.flash[i] = static_cast<std::uint8_t>(i);
    return state;
}

void expect_failed_save(const RecordingHost& host) {
    EXPECT_EQ(host.status(), "HEX file not saved!");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(host.enabled);
}

// Lets this process write at most `bytes` into any file, as a disk that is nearly full would.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_handler_);
    }

  private:
    rlimit saved_{};
    void (*previous_handler_)(int) = nullptr;
};

TEST(FileFaults, AFullDiskKeepsTheOldFileWhole) {
    TempDir dir;
    const std::string old_text = ":00000001FF\r\n";
    const std::string path = dir.write("image.hex", old_text);
    const AppState state = image_state();
    RecordingHost host;
    {
        FileSizeLimit nearly_full(4096);
        EXPECT_FALSE(save_hex_file(state, host, path));
    }
    expect_failed_save(host);
    EXPECT_EQ(TempDir::read(path), old_text);
    // No half-written temporary file stays behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(FileFaults, SavingOntoADeviceWritesIntoItAndNeverReplacesIt) {
    struct stat before {};
    if (stat("/dev/full", &before) != 0) GTEST_SKIP() << "no /dev/full here";
    const AppState state = image_state();
    RecordingHost host;
    EXPECT_FALSE(save_hex_file(state, host, "/dev/full"));
    expect_failed_save(host);
    struct stat after {};
    ASSERT_EQ(stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));  // still the device, even when the tests run as root
}

TEST(FileFaults, AFolderThatCannotExistIsReported) {
    TempDir dir;
    const std::string not_a_folder = dir.write("plain-file", "x");
    const AppState state = image_state();
    RecordingHost host;
    EXPECT_FALSE(save_hex_file(state, host, not_a_folder + "/image.hex"));
    expect_failed_save(host);
    EXPECT_EQ(TempDir::read(not_a_folder), "x");

    RecordingHost folder_host;
    EXPECT_FALSE(save_hex_file(state, folder_host, dir.path()));
    expect_failed_save(folder_host);
}

TEST(FileFaults, ADeviceThatNeverEndsIsNotReadAsAHexFile) {
    if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero here";
    AppState state = image_state();
    const HexReadResult result = read_hex_file("/dev/zero", state.image);
    EXPECT_EQ(result.outcome, HexReadOutcome::Unreadable);
    EXPECT_NE(result.message.find("/dev/zero"), std::string::npos);
}

TEST(FileFaults, DeviceFilesOfEveryKindOfWrongGiveAnAnswer) {
    TempDir dir;
    DeviceCatalog catalog;
    EXPECT_EQ(load_device_file(catalog, dir.file("missing.txt")).status, DeviceFileStatus::Unreadable);
    EXPECT_EQ(load_device_file(catalog, dir.path()).status, DeviceFileStatus::Unreadable);
    EXPECT_EQ(load_device_file(catalog, dir.write("empty.txt", "")).status, DeviceFileStatus::NoModel);
    std::string binary(70000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 131 + 7);
    EXPECT_NE(load_device_file(catalog, dir.write("binary.txt", binary)).status,
              DeviceFileStatus::Unreadable);

    // Ten thousand models sharing one set of scripts: loads, and the last one selects.
    std::string large = "erasealgdef 1: begin,end\r\n";
    for (int m = 1; m <= 10000; ++m) {
        large += "model: M" + std::to_string(m) + "\r\nflash: 32768\r\neeprom: 256\r\nerasealg: 1\r\n";
    }
    ASSERT_EQ(load_device_file(catalog, dir.write("large.txt", large)).status, DeviceFileStatus::Loaded);
    EXPECT_EQ(catalog.model_count(), 10000);
    AppState state;
    state.catalog = std::move(catalog);
    select_model(state, 10000);
    EXPECT_EQ(state.model_name, "M10000");
    EXPECT_EQ(state.erase_script, (AlgorithmScript{"begin", "end"}));
    // The scripts are shared, not copied ten thousand times.
    EXPECT_EQ(state.catalog.models[1].script[0].get(), state.catalog.models[10000].script[0].get());
}

}  // namespace
}  // namespace quillon

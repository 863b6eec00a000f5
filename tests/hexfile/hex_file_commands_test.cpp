#include "hexfile/hex_file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hex_test_support.h"
#include "hexfile/hex_paths.h"
#include "hexfile/hex_writer.h"
#include "model/app_state.h"
#include "model/reset_buffers.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

// A model as the supplied library's PIC18F452 has it, with its buffers erased.
AppState pic18f452_state(const TempDir& dir) {
    AppState state;
    state.flash_size = 32768;
    state.eeprom_size = 256;
    for (int k = 1; k <= kConfigByteCount; ++k)
        state.erased_config(k) = k;
    state.last_path = dir.path() + "/";
    reset_buffers(state);
    return state;
}

TEST(LoadStatus, KilobytesKeepTheFirstFourCharactersOfTheExactQuotient) {
    EXPECT_EQ(kilobytes_text(32768), "32");
    EXPECT_EQ(kilobytes_text(1234), "1.20");
    EXPECT_EQ(kilobytes_text(256), ".25");
    EXPECT_EQ(kilobytes_text(102912), "100.");
    EXPECT_EQ(kilobytes_text(0), "0");
    EXPECT_EQ(kilobytes_text(1), ".000");
    EXPECT_EQ(kilobytes_text(1536), "1.5");
    EXPECT_EQ(kilobytes_text(0x200000), "2048");
    EXPECT_EQ(load_status_text(2152), "Operation completed. Total 2152 (2.10K) program bytes loaded.");
}

TEST(HexPaths, ShortensLongPathsToTheirLast70Characters) {
    const std::string seventy(70, 'a');
    EXPECT_EQ(shorten_path(seventy), seventy);
    EXPECT_EQ(shorten_path("/" + seventy), "... " + seventy);
    // Characters, not bytes: a two-byte character counts once and is never cut in half.
    const std::string wide = "\xC3\xA9";  // é
    EXPECT_EQ(shorten_path(wide + std::string(69, 'b')), wide + std::string(69, 'b'));
    EXPECT_EQ(shorten_path("x" + wide + std::string(69, 'b')), "... " + wide + std::string(69, 'b'));
}

TEST(HexPaths, SplitsAChosenPathAfterItsLastSeparator) {
    const ChosenPath windows = split_chosen_path("C:\\work\\blink.hex", '\\');
    EXPECT_EQ(windows.folder, "C:\\work\\");
    EXPECT_EQ(windows.name, "blink.hex");
    const ChosenPath posix = split_chosen_path("/home/u/a.b/x.hex", '/');
    EXPECT_EQ(posix.folder, "/home/u/a.b/");
    EXPECT_EQ(posix.name, "x.hex");
    const ChosenPath bare = split_chosen_path("x.hex", '/');
    EXPECT_EQ(bare.folder, "");
    EXPECT_EQ(bare.name, "x.hex");
}

TEST(LoadHexFile, AnAcceptedFileFillsTheBuffersAndReportsItsSize) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    state.image.flash[5] = 0x00;  // an earlier edit: the load starts from erased buffers
    dir.write("a.hex", data_record(0x04D0, "0102") + "\n:00000001FF\n");
    RecordingHost host;
    EXPECT_EQ(load_hex_file(state, host, "a.hex"), HexReadOutcome::Accepted);
    EXPECT_EQ(state.image.flash[5], 0xFF);
    EXPECT_EQ(state.image.flash[0x4D1], 0x02);
    EXPECT_EQ(state.image.loaded_flash_end, 0x4D2);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.loaded_file, shorten_path(dir.file("a.hex")));
    EXPECT_EQ(host.statuses,
              std::vector<std::string>{"Operation completed. Total 1234 (1.20K) program bytes loaded."});
    EXPECT_EQ(host.disables, 1);
    EXPECT_EQ(host.enables, 1);
    EXPECT_EQ(host.redraws, 1);
}

TEST(LoadHexFile, TheOutOfRangeWarningComesBeforeTheStatus) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    dir.write("b.hex", data_record(0x8000, "01"));
    RecordingHost host;
    EXPECT_EQ(load_hex_file(state, host, "b.hex"), HexReadOutcome::AcceptedOutOfRange);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Info);
    EXPECT_EQ(host.messages[0].title, "Ardentix Quillon");
    EXPECT_EQ(host.status(), "Operation completed. Total 0 (0K) program bytes loaded.");
}

TEST(LoadHexFile, ARejectedFileLeavesNothingBehind) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    dir.write("c.hex", data_record(0x0100, "AABB") + "\n" + data_record(0, "GG") + "\n");
    RecordingHost host;
    host.loaded_file = "old.hex";
    EXPECT_EQ(load_hex_file(state, host, "c.hex"), HexReadOutcome::Rejected);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "Input program file in Intel Hex Format contains errors.\r\nLine number 2: Invalid data byte "
              "in the record.");
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host.messages[0].title, "Ardentix Quillon");
    EXPECT_EQ(state.image.flash[0x100], 0xFF);
    EXPECT_EQ(state.image.loaded_flash_end, 0);
    EXPECT_EQ(host.loaded_file, "");
    EXPECT_EQ(host.status(), "HEX file not loaded!");
    EXPECT_TRUE(host.enabled);
    EXPECT_EQ(host.redraws, 1);
}

TEST(LoadHexFile, AFileThatCannotBeReadIsNamedInTheMessage) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    fs::create_directory(dir.file("folder.hex"));
    for (const char* name : {"missing.hex", "folder.hex"}) {
        RecordingHost host;
        EXPECT_EQ(load_hex_file(state, host, name), HexReadOutcome::Unreadable);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_NE(host.messages[0].text.find(dir.file(name)), std::string::npos) << host.messages[0].text;
        EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(host.status(), "HEX file not loaded!");
        EXPECT_TRUE(host.enabled);
    }
}

TEST(LoadHexFile, OpeningAChosenPathRemembersItsFolder) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    state.last_path.clear();
    dir.write("d.hex", data_record(0, "12"));
    RecordingHost host;
    EXPECT_EQ(open_hex_file(state, host, dir.file("d.hex"), '/'), HexReadOutcome::Accepted);
    EXPECT_EQ(state.last_path, dir.path() + "/");
    EXPECT_EQ(state.image.flash[0], 0x12);
}

TEST(SaveHexFile, WritesTheImageAndNamesTheFile) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    state.image.flash[0] = 0x12;
    RecordingHost host;
    ASSERT_TRUE(save_hex_file(state, host, dir.file("out.hex")));
    EXPECT_EQ(TempDir::read(dir.file("out.hex")), write_hex_text(state.image));
    EXPECT_EQ(host.loaded_file, shorten_path(dir.file("out.hex")));
    EXPECT_EQ(host.status(), "HEX file saved.");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.disables, 1);
    EXPECT_TRUE(host.enabled);
}

TEST(SaveHexFile, ReplacesAnOldFileAndLeavesNoTemporaryFileBehind) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    const std::string target = dir.write("out.hex", std::string(100000, 'x'));
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    RecordingHost host;
    ASSERT_TRUE(save_hex_file(state, host, target));
    EXPECT_EQ(TempDir::read(target), write_hex_text(state.image));
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SaveHexFile, SavingThroughALinkReplacesTheFileItPointsAt) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    const std::string real = dir.write("real.hex", "old");
    fs::create_symlink(real, dir.file("link.hex"));
    RecordingHost host;
    ASSERT_TRUE(save_hex_file(state, host, dir.file("link.hex")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.hex")));
    EXPECT_EQ(TempDir::read(real), write_hex_text(state.image));
}

// A failed save keeps what was there, says why in a message box and in the status line, and
// gives the window back.
void expect_failed_save(const AppState& state, const std::string& target) {
    RecordingHost host;
    host.loaded_file = "loaded.hex";
    EXPECT_FALSE(save_hex_file(state, host, target));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find(target), std::string::npos) << host.messages[0].text;
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host.status(), "HEX file not saved!");
    EXPECT_EQ(host.loaded_file, "loaded.hex");
    EXPECT_TRUE(host.enabled);
}

TEST(SaveHexFile, AFolderThatDoesNotExistFailsCleanly) {
    TempDir dir;
    const AppState state = pic18f452_state(dir);
    expect_failed_save(state, dir.file("missing/out.hex"));
}

TEST(SaveHexFile, AFolderInTheWayIsKeptAndNoTemporaryFileStays) {
    TempDir dir;
    const AppState state = pic18f452_state(dir);
    fs::create_directory(dir.file("out.hex"));
    dir.write("out.hex/inside.txt", "keep");
    expect_failed_save(state, dir.file("out.hex"));
    EXPECT_EQ(TempDir::read(dir.file("out.hex/inside.txt")), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SaveHexFile, AReadOnlyFolderKeepsTheOldFile) {
    TempDir dir;
    const AppState state = pic18f452_state(dir);
    const std::string target = dir.write("out.hex", "old contents");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    {
        // Permissions do not stop a privileged user; then there is nothing to test.
        std::ofstream probe(dir.file("probe"));
        if (probe) {
            fs::permissions(dir.path(), fs::perms::owner_all);
            GTEST_SKIP() << "the read-only folder is writable for this user";
        }
    }
    expect_failed_save(state, target);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(TempDir::read(target), "old contents");
}

TEST(SaveBufferAs, AsksBeforeReplacingAFileAndNoKeepsIt) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    state.last_path.clear();
    const std::string target = dir.write("old.hex", "old");
    RecordingHost host;
    host.message_answers = {MessageAnswer::No};
    EXPECT_EQ(save_buffer_as(state, host, target, '/'), SaveOutcome::Cancelled);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Do you want to overwrite file " + target + "?");
    EXPECT_EQ(host.messages[0].kind, MessageKind::YesNo);
    EXPECT_EQ(TempDir::read(target), "old");
    EXPECT_EQ(state.last_path, dir.path() + "/");
    EXPECT_EQ(host.disables, 0);

    host.message_answers = {MessageAnswer::Yes};
    EXPECT_EQ(save_buffer_as(state, host, target, '/'), SaveOutcome::Saved);
    EXPECT_EQ(TempDir::read(target), write_hex_text(state.image));
}

TEST(SaveBufferAs, ANewFileIsSavedWithoutAQuestion) {
    TempDir dir;
    AppState state = pic18f452_state(dir);
    RecordingHost host;
    EXPECT_EQ(save_buffer_as(state, host, dir.file("new.hex"), '/'), SaveOutcome::Saved);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(save_buffer_as(state, host, dir.file("no/such/folder.hex"), '/'), SaveOutcome::Failed);
}

}  // namespace
}  // namespace quillon

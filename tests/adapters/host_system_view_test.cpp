// The machine's own view, on files the test makes and on /dev/null: never on a serial device.
#include "adapters/host_system_view.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace quillon {
namespace {

#ifdef __linux__

TEST(HostSystemView, TellsFilesFromDevicesAndFollowsLinks) {
    HostSystemView view;
    const TempDir dir;
    const std::string file = dir.write("ttyFAKE0", "");
    const std::string link = dir.file("by-id-link");
    std::filesystem::create_symlink(file, link);

    const DeviceFacts plain = view.device(file);
    EXPECT_TRUE(plain.exists);
    EXPECT_FALSE(plain.is_char_device);
    EXPECT_TRUE(plain.user_may_read_write);
    EXPECT_FALSE(plain.owner_group.empty());

    const DeviceFacts linked = view.device(link);
    EXPECT_TRUE(linked.exists);
    EXPECT_EQ(linked.real_path, std::filesystem::canonical(file).string());

    EXPECT_FALSE(view.device(dir.file("missing")).exists);
    EXPECT_FALSE(view.device("").exists);
    EXPECT_TRUE(view.device("/dev/null").is_char_device);
}

TEST(HostSystemView, KnowsTheUserAndNoHoldersOfAFileNobodyOpened) {
    HostSystemView view;
    const TempDir dir;
    const std::string file = dir.write("ttyFAKE1", "");
    EXPECT_FALSE(view.user_name().empty());
    EXPECT_TRUE(view.holders(std::filesystem::canonical(file).string()).empty());
    EXPECT_FALSE(view.tty("ttyNO_SUCH_DEVICE").known);
    EXPECT_FALSE(view.session_has_group("no-such-group-here"));
    EXPECT_FALSE(view.user_listed_in_group("no-such-group-here"));
}

#endif

}  // namespace
}  // namespace quillon

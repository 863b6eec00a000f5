#include "hexfile/file_io.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace quillon {
namespace {

TEST(FileIo, ReadsEveryByteOfAFile) {
    TempDir dir;
    std::string contents(200000, '\0');
    for (std::size_t i = 0; i < contents.size(); ++i)
        contents[i] = static_cast<char>(i * 7);
    const Result<std::string> file = read_file_text(dir.write("data.bin", contents));
    ASSERT_TRUE(file.ok()) << file.error().message;
    EXPECT_EQ(*file, contents);
    EXPECT_TRUE(read_file_text(dir.write("empty.hex", "")).ok());
    EXPECT_FALSE(read_file_text(dir.file("missing.hex")).ok());
}

TEST(FileIo, AFullDiskIsNoticedWhenTheTextIsWritten) {
    std::ofstream full("/dev/full", std::ios::binary);
    if (!full) GTEST_SKIP() << "no /dev/full here";
    EXPECT_FALSE(write_and_close(full, std::string(100000, 'x')).ok());
}

TEST(FileIo, PathsAreUtf8) {
    TempDir dir;
    const std::string name = dir.file("\xC3\xA9t\xC3\xA9.hex");  // été.hex
    ASSERT_TRUE(replace_file(name, "text").ok());
    EXPECT_EQ(read_file_text(name).value(), "text");
}

}  // namespace
}  // namespace quillon

#include "ui/message_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

TEST(WrapMessage, DropsOneTrailingLineEndAndKeepsTheRest) {
    EXPECT_EQ(wrap_message("Chip is not blank:\r\n\r\nrow\r\n"), "Chip is not blank:\r\n\r\nrow");
    EXPECT_EQ(wrap_message("two\r\n\r\n"), "two\r\n");
    EXPECT_EQ(wrap_message(""), "");
    // Blanks are word separators, so runs of them survive as empty words.
    EXPECT_EQ(wrap_message("a  b \r\n c"), "a  b \r\n c");
}

TEST(WrapMessage, BreaksALongPathAfterItsLastFolderWithinFiftyFiveCharacters) {
    const std::string head = "C:\\Projects\\Firmware\\Releases\\2024\\Board-Revision-C\\";  // 52 chars
    ASSERT_EQ(head.size(), 52u);
    const std::string tail = "final_image_with_long_name.hex";  // backslash at 52 is the last <= 55
    const std::string path = head + tail;
    ASSERT_GT(path.size(), 55u);
    EXPECT_EQ(wrap_message("Cannot open " + path + " now."), "Cannot open " + head + "\r\n" + tail + " now.");
}

TEST(WrapMessage, FallsBackToTheLastUnderscoreAndOtherwiseLeavesTheWordWhole) {
    const std::string with_underscores = std::string(40, 'a') + "_" + std::string(10, 'b') + "_" +
                                         std::string(30, 'c');  // underscores at 41 and 52
    EXPECT_EQ(wrap_message(with_underscores),
              std::string(40, 'a') + "_" + std::string(10, 'b') + "_\r\n" + std::string(30, 'c'));

    const std::string plain(80, 'x');
    EXPECT_EQ(wrap_message(plain), plain);
    // A separator past position 55 does not count.
    const std::string late = std::string(60, 'y') + "\\" + std::string(19, 'z');
    EXPECT_EQ(wrap_message(late), late);
    // A word of exactly 55 characters is not long.
    const std::string exact = std::string(20, 'p') + "\\" + std::string(34, 'q');
    EXPECT_EQ(wrap_message(exact), exact);
}

TEST(WrapMessage, BreaksEachLongWordOnceOnly) {
    std::string path;
    for (int i = 0; i < 16; ++i)
        path += "folder" + std::to_string(i) + "\\";  // 16 folders of 8 or 9 characters
    const std::string wrapped = wrap_message(path);
    const std::size_t first_break = wrapped.find("\r\n");
    ASSERT_NE(first_break, std::string::npos);
    EXPECT_LE(first_break, 55u);
    EXPECT_EQ(wrapped[first_break - 1], '\\');
    // The remainder is longer than 55 characters but is not examined again.
    EXPECT_GT(wrapped.size() - first_break - 2, 55u);
    EXPECT_EQ(wrapped.find("\r\n", first_break + 2), std::string::npos);
}

}  // namespace
}  // namespace quillon

#include "hexfile/hex_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string_view line : split_hex_lines(text))
        lines.emplace_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(HexLines, EveryKindOfLineEndEndsALineOnceAndOneEmptyLineFollows) {
    EXPECT_EQ(lines_of("A\nB"), (Lines{"A", "B", ""}));
    EXPECT_EQ(lines_of("A\r\nB\r\n"), (Lines{"A", "B", "", ""}));
    EXPECT_EQ(lines_of("A\rB\n\rC"), (Lines{"A", "B", "C", ""}));
    EXPECT_EQ(lines_of(""), (Lines{"", ""}));
}

TEST(HexLines, RunsOfLineEndsShrinkToAQuarter) {
    // One blank line between records vanishes from the numbering, with LF and with CR LF alike.
    EXPECT_EQ(lines_of("A\n\nB"), (Lines{"A", "B", ""}));
    EXPECT_EQ(lines_of("A\r\n\r\nB"), (Lines{"A", "B", ""}));
    EXPECT_EQ(lines_of("A\n\n\n\nB"), (Lines{"A", "B", ""}));
    // Five to eight line-end characters leave one empty line, nine leave two.
    EXPECT_EQ(lines_of("A\n\n\n\n\nB"), (Lines{"A", "", "B", ""}));
    EXPECT_EQ(lines_of("A\r\n\r\n\r\n\r\nB"), (Lines{"A", "", "B", ""}));
    EXPECT_EQ(lines_of("A\n\n\n\n\n\n\n\n\nB"), (Lines{"A", "", "", "B", ""}));
    EXPECT_EQ(lines_of("\n\n\n\n\nA"), (Lines{"", "", "A", ""}));
}

TEST(HexLines, OnlyTrailingSpaceCharactersAreTrimmed) {
    EXPECT_EQ(trim_trailing_spaces(":00000001FF   "), ":00000001FF");
    EXPECT_EQ(trim_trailing_spaces(":00000001FF\t"), ":00000001FF\t");
    EXPECT_EQ(trim_trailing_spaces(":00000001FF \t "), ":00000001FF \t");
    EXPECT_EQ(trim_trailing_spaces("  :01"), "  :01");
    EXPECT_EQ(trim_trailing_spaces("    "), "");
}

}  // namespace
}  // namespace quillon

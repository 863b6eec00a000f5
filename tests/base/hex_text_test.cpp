#include "base/hex_text.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(HexFormat, KeepsTheLowDigitsAndNeverWidens) {
    EXPECT_EQ(hex2(5), "05");
    EXPECT_EQ(hex2(255), "FF");
    EXPECT_EQ(hex2(256), "00");
    EXPECT_EQ(hex2(-1), "FF");
    EXPECT_EQ(hex2h(10), "0Ah");
    EXPECT_EQ(hex4(48), "0030");
    EXPECT_EQ(hex4(0x300000), "0000");
    EXPECT_EQ(hex4(65536), "0000");
    EXPECT_EQ(hex4h(48), "0030h");
    EXPECT_EQ(hex6(0x300000), "300000");
    EXPECT_EQ(hex6(16), "000010");
    EXPECT_EQ(hex6(-1), "FFFFFF");
    EXPECT_EQ(hex6h(16), "000010h");
    std::string out = "x";
    append_hex2(out, 0x1AB);
    EXPECT_EQ(out, "xAB");
}

TEST(HexParse, AcceptsOnlyExactUpperCaseDigits) {
    EXPECT_EQ(parse_hex2("FF"), 255);
    EXPECT_EQ(parse_hex2("00"), 0);
    EXPECT_EQ(parse_hex2("ff"), -1);
    EXPECT_EQ(parse_hex2("F"), -1);
    EXPECT_EQ(parse_hex2(" F"), -1);
    EXPECT_EQ(parse_hex2("FFF"), -1);
    EXPECT_EQ(parse_hex2("-1"), -1);
    EXPECT_EQ(parse_hex4("00FF"), 255);
    EXPECT_EQ(parse_hex4("FF"), -1);
    EXPECT_EQ(parse_hex4("0G00"), -1);
    EXPECT_EQ(parse_hex4("ABCD"), 0xABCD);
    EXPECT_EQ(parse_hex6("F00000"), 15728640);
    EXPECT_EQ(parse_hex6("3FFFFF"), 4194303);
    EXPECT_EQ(parse_hex6("0x1234"), -1);
    EXPECT_EQ(parse_hex6("3fffff"), -1);
}

TEST(HexChecksum, MatchesIntelHexRecords) {
    EXPECT_EQ(hex_checksum("00000001"), "FF");
    EXPECT_EQ(hex_checksum("020000040030"), "CA");
    EXPECT_EQ(hex_checksum("0200000400F0"), "0A");
    EXPECT_EQ(hex_checksum(""), "00");
    EXPECT_EQ(hex_checksum("1"), "00");   // a lone last character is ignored
    EXPECT_EQ(hex_checksum("0G"), "01");  // an invalid pair counts as -1
    EXPECT_EQ(hex_checksum("0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF"), "00");
}

}  // namespace
}  // namespace quillon

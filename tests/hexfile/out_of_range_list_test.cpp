#include "hexfile/out_of_range_list.h"

#include <gtest/gtest.h>

#include "base/hex_text.h"

namespace quillon {
namespace {

std::string entries(std::int64_t first, std::int64_t last) {
    std::string text;
    for (std::int64_t a = first; a <= last; ++a)
        text += hex6(static_cast<std::int32_t>(a)) + ", ";
    return text;
}

OutOfRangeList list_of(std::int64_t first, std::int64_t count) {
    OutOfRangeList list;
    for (std::int64_t i = 0; i < count; ++i)
        list.add(first + i);
    return list;
}

TEST(OutOfRangeList, ShowsUpTo24EntriesWhole) {
    const OutOfRangeList list = list_of(0x8000, 24);
    EXPECT_EQ(list.count(), 24);
    EXPECT_EQ(list.text(), entries(0x8000, 0x8016) + "008017.");
    EXPECT_EQ(list_of(0x10, 1).text(), "000010.");
}

TEST(OutOfRangeList, From25OnShowsTheFirst16AndTheLast8) {
    EXPECT_EQ(list_of(0x8000, 25).text(),
              entries(0x8000, 0x800F) + "..., " + entries(0x8011, 0x8017) + "008018.");
    // The last eight are right however often the ring has turned.
    const OutOfRangeList many = list_of(0x8000, 1003);
    EXPECT_EQ(many.count(), 1003);
    EXPECT_EQ(many.text(), entries(0x8000, 0x800F) + "..., " + entries(0x83E3, 0x83E9) + "0083EA.");
}

TEST(OutOfRangeList, ListsRepeatsAndTheLow24BitsOfWideAddresses) {
    OutOfRangeList list;
    list.add(0x1D000010);
    list.add(0x1D000010);
    list.add(0xFFFFFFFFLL + 2);
    EXPECT_EQ(list.text(), "000010, 000010, 000001.");
}

}  // namespace
}  // namespace quillon

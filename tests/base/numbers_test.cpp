#include "base/numbers.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillon {
namespace {

TEST(LeadingNumber, TakesTheNumberAtTheStartOfTheText) {
    EXPECT_EQ(leading_number("abc"), 0.0);
    EXPECT_EQ(leading_number("12ab"), 12.0);
    EXPECT_EQ(leading_number(" 3"), 3.0);
    EXPECT_EQ(leading_number("2.5"), 2.5);
    EXPECT_EQ(leading_number(""), 0.0);
    EXPECT_EQ(leading_number("-4.25x"), -4.25);
    EXPECT_EQ(leading_number("+7"), 7.0);
    EXPECT_EQ(leading_number(".5"), 0.5);
    EXPECT_EQ(leading_number("1.2.3"), 1.2);
    EXPECT_EQ(leading_number("1e5"), 1.0);  // no exponents
    EXPECT_EQ(leading_number("- 3"), 0.0);
    EXPECT_EQ(leading_number("."), 0.0);
}

TEST(LeadingNumber, IgnoresTheLocaleDecimalSeparator) {
    EXPECT_EQ(leading_number("2,5"), 2.0);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(round_half_even(2.5), 2.0);
    EXPECT_EQ(round_half_even(3.5), 4.0);
    EXPECT_EQ(round_half_even(-2.5), -2.0);
    EXPECT_EQ(round_half_even(-3.5), -4.0);
    EXPECT_EQ(round_half_even(0.5), 0.0);
    EXPECT_EQ(round_half_even(29.5), 30.0);
    EXPECT_EQ(round_half_even(2.4999), 2.0);
    EXPECT_EQ(round_half_even(2.5001), 3.0);
}

TEST(RoundToInt32, RefusesWhatDoesNotFit) {
    EXPECT_EQ(round_to_int32(2147483647.0), 2147483647);
    EXPECT_EQ(round_to_int32(2147483648.0), std::nullopt);
    EXPECT_EQ(round_to_int32(-2147483648.0), -2147483647 - 1);
    EXPECT_EQ(round_to_int32(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(leading_int32(std::string(400, '9')), 0);
    EXPECT_EQ(leading_int32("99999999999", 1), 1);
}

}  // namespace
}  // namespace quillon

#include "base/clock.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// A hold may last longer than asked, never shorter: the chip refuses a pulse or a rest cut short.
TEST(Clock, WaitUntilReturnsOnlyOnceTheDeadlineHasPassed) {
    SystemClock real;
    for (const std::chrono::nanoseconds hold :
         {std::chrono::nanoseconds(microseconds(5)), std::chrono::nanoseconds(microseconds(450)),
          std::chrono::nanoseconds(milliseconds(2))}) {
        const auto deadline = real.now() + hold;
        real.wait_until(deadline);
        EXPECT_GE(real.now(), deadline) << hold.count() << " ns";
    }
    FakeClock fake;
    fake.wait_until(microseconds(7));
    EXPECT_EQ(fake.now(), microseconds(7));
    fake.wait_until(microseconds(3));  // a deadline already passed changes nothing
    EXPECT_EQ(fake.now(), microseconds(7));
}

}  // namespace
}  // namespace quillon

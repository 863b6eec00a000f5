// The doctor's report as the terminal shows it.
#include "tools/doctor/doctor_output.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillon {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

TEST(DoctorText, OneLinePerCheckWithVerdictAndFixThenTheCount) {
    DoctorReport report;
    report.checks.push_back({"port", Verdict::Ok, "COM5 is /dev/ttyUSB0", ""});
    report.checks.push_back({"access", Verdict::Problem, "/dev/ttyUSB0 belongs to the group \"dialout\"",
                             "sudo usermod -aG dialout alice, then log out and log in again"});
    report.checks.push_back({"board", Verdict::Warning, "DATA IN stayed low", "plug the board in"});
    EXPECT_EQ(
        doctor_text(report, nullptr),
        "ok       port     COM5 is /dev/ttyUSB0.\n"
        "problem  access   /dev/ttyUSB0 belongs to the group \"dialout\". Fix: sudo usermod -aG dialout "
        "alice, then log out and log in again.\n"
        "warning  board    DATA IN stayed low. Fix: plug the board in.\n"
        "1 problem, 1 warning.\n");
}

TEST(DoctorText, EstimatesShowARowPerPortKindAndWhatTheyRestOn) {
    DoctorReport report;
    report.checks.push_back({"port", Verdict::Ok, "the simulated board", ""});
    OperationCounts counts;
    counts.model = "PIC18F452";
    counts.operations = {{Operation::Program, 1000000, 0, 2s},
                         {Operation::Read, 600000, 500000, 0s},
                         {Operation::Verify, 600000, 500000, 0s}};
    DoctorEstimates estimates;
    estimates.ports = {{typical_uart_cost(), counts}, {typical_usb_cost(), counts}};
    estimates.ports[1].counts.operations[0].line_changes = 900000;  // fewer write polls
    const std::string text = doctor_text(report, &estimates);
    EXPECT_THAT(text,
                HasSubstr("Estimated times for a full PIC18F452:\n"
                          "  built-in UART (typical)  program 7.0 s, read 5.5 s, verify 5.5 s\n"
                          "  USB adapter (typical)    program 15 min 2 s, read 18 min 20 s, verify 18 min "
                          "20 s\n"));
    EXPECT_THAT(text, HasSubstr("counted on the simulated chip at the pace of the built-in UART (typical): "
                                "program 1000000 line changes, 0 DSR reads, 2.0 s of waits; read"));
    EXPECT_THAT(text, HasSubstr("at the pace of the USB adapter (typical): program 900000 line changes"));
    EXPECT_THAT(text, HasSubstr("No problems found.\n"));
    estimates.ports = {{{"this port (measured)", 6, 2}, counts}};
    EXPECT_THAT(doctor_text(report, &estimates),
                HasSubstr("counted on the simulated chip at the pace of this port (measured): program"));
}

TEST(DoctorText, SaysWhyThereAreNoEstimates) {
    DoctorEstimates estimates;
    estimates.ports.push_back({typical_uart_cost(), {}});
    estimates.ports[0].counts.unavailable = "the simulated board has no PIC18X chip to count on";
    EXPECT_THAT(doctor_text({}, &estimates),
                HasSubstr("No time estimates: the simulated board has no PIC18X chip to count on.\n"));
}

TEST(DoctorEstimates, MeasuredCostsReplaceTheTypicalOnes) {
    AppState state;
    state.model_name = "PIC18X";
    LineCosts measured;
    measured.change = CostStats::of({4, 4, 10});
    measured.dsr_read = CostStats::of({2});
    const DoctorEstimates with = make_doctor_estimates(state, measured);
    ASSERT_EQ(with.ports.size(), 2u);
    EXPECT_EQ(with.ports[0].cost.label, "this port (measured)");
    EXPECT_EQ(with.ports[1].cost.label, "FTDI adapter, bit-bang (--port ftdi)") << "the fast path is always named";
    EXPECT_DOUBLE_EQ(with.ports[0].cost.change_us, 6) << "the mean, which sums up to the run's time";
    EXPECT_DOUBLE_EQ(with.ports[0].cost.read_us, 2);
    const DoctorEstimates without = make_doctor_estimates(state, std::nullopt);
    ASSERT_EQ(without.ports.size(), 3u);
    EXPECT_EQ(without.ports[0].cost.label, "built-in UART (typical)");
    EXPECT_EQ(without.ports[1].cost.label, "USB adapter (typical)");
}

}  // namespace
}  // namespace quillon

// What a chip operation run from the main window shows while it runs: progress captions appear
// as the window's event pump runs, pending events are served during the run, and a caption held
// back between pump runs is never lost.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>
#include <set>

#include "model/select_model.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

class GuiHostTest : public ::testing::Test, public WindowFixture {};

TEST_F(GuiHostTest, ProgressCaptionsChangeWhileAProgramRunsAndTheWindowServesEvents) {
    load();
    // 64 bytes in use; each FLASH word reads a byte first, and every read of DATA IN takes a
    // millisecond, so the pump (every 15 ms) comes due once or twice per word.
    state.program_script = split_script("begin,calcflash,setflashloop,temp=s09,s0d-flash,loop,end");
    for (std::size_t i = 0; i < 64; ++i)
        state.image.flash[i] = static_cast<std::uint8_t>(i);
    std::set<QString> seen;
    RecordingPort& port = provider.last_port();
    port.keep_events = false;
    int reads = 0;
    int served_after = 0;
    port.dsr_source = [&] {
        // An event posted early in the run, as a click or a repaint would be.
        if (++reads == 1) QTimer::singleShot(0, window.get(), [&] { served_after = reads; });
        clock.advance(std::chrono::milliseconds(1));
        seen.insert(text_of(QStringLiteral("label_status")));
        return false;
    };

    window->run_operation(&program_all);

    EXPECT_TRUE(text_of(QStringLiteral("label_status")).startsWith(QStringLiteral("Chip programmed. ")));
    int progress = 0;
    for (const QString& caption : seen)
        progress += caption.startsWith(QStringLiteral("F:")) && caption.endsWith(QStringLiteral("/64"));
    EXPECT_GE(progress, 20) << "distinct progress captions seen during the run";
    EXPECT_TRUE(seen.contains(QStringLiteral("F:61/64")));
    // Served during the run, within a pump interval, not after it.
    EXPECT_GT(served_after, 0);
    EXPECT_LE(served_after, 16);
    EXPECT_EQ(reads, 32 * 16);
}

TEST_F(GuiHostTest, ACaptionHeldWhileBusyShowsBeforeAMessageAndAtTheEnd) {
    load();
    Host& host = window->host();
    host.disable();
    host.set_status("Begin verify.");
    host.yield();  // the first yield after disable always lets events run
    EXPECT_EQ(text_of(QStringLiteral("label_status")), "Begin verify.");

    host.set_status("F:7/64");
    QString shown_with_message;
    dialogs.on_message = [&] { shown_with_message = text_of(QStringLiteral("label_status")); };
    host.show_message("Chip verify failed:", MessageKind::Error, "");
    EXPECT_EQ(shown_with_message, "F:7/64");

    host.set_status("F:9/64");
    host.enable();
    EXPECT_EQ(text_of(QStringLiteral("label_status")), "F:9/64");
    host.set_status("Chip verified. 0.00 seconds elapsed...");  // not busy: shown at once
    EXPECT_EQ(text_of(QStringLiteral("label_status")), "Chip verified. 0.00 seconds elapsed...");
}

TEST(EventPump, LooksAtTheClockLessOftenWhileRequestsComeFastAndAtOnceWhenTheySlowDown) {
    FakeClock clock;
    EventPump pump(clock);
    pump.run_if_due();
    for (int i = 0; i < 40; ++i)
        pump.run_if_due();                      // no time passes: requests come as fast as can be
    EXPECT_EQ(pump.requests_per_look(), 8192);  // bounded, so a stalled port is noticed soon
    EXPECT_EQ(pump.runs(), 1);

    clock.advance(std::chrono::milliseconds(10));
    pump.run_if_due();
    EXPECT_EQ(pump.requests_per_look(), 2048);
    EXPECT_EQ(pump.runs(), 1);
    clock.advance(std::chrono::milliseconds(5));
    pump.run_if_due();
    EXPECT_EQ(pump.runs(), 2);
    EXPECT_EQ(pump.requests_per_look(), 512);

    pump.force_next();
    EXPECT_EQ(pump.requests_per_look(), 1);
}

}  // namespace
}  // namespace quillon

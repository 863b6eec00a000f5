#include <gtest/gtest.h>

#include <QString>
#include <QTextStream>

#include "cli/cli_host.h"
#include "cli/progress_bar.h"

namespace quillon {
namespace {

TEST(ProgressCaption, TellsTheRunsCaptionsFromOtherStatusTexts) {
    const auto flash = parse_progress_caption("F:12/32768");
    ASSERT_TRUE(flash.has_value());
    EXPECT_EQ(flash->label, "FLASH");
    EXPECT_EQ(flash->done, 12);
    EXPECT_EQ(flash->total, 32768);
    const auto eeprom = parse_progress_caption("E:256/256");
    ASSERT_TRUE(eeprom.has_value());
    EXPECT_EQ(eeprom->label, "EEPROM");
    const auto config = parse_progress_caption("CONF7H:");
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->label, "CONF7H");
    EXPECT_EQ(config->total, 0);

    for (const char* status : {"Begin program all.", "Chip programmed. 1.00 seconds elapsed...", "F:", "F:1/",
                               "F:x/2", "E:1/2 ", "CONF8L:", "CONF1L", "Serial port COM5 ready...", ""}) {
        EXPECT_FALSE(parse_progress_caption(status).has_value()) << status;
    }
}

TEST(ProgressCaption, DrawsAFixedWidthBarWithTheTimeLeft) {
    using namespace std::chrono_literals;
    EXPECT_EQ(progress_line("FLASH", {16, 32, 0s}, 10), "FLASH   [#####-----]  50%");
    EXPECT_EQ(progress_line("EEPROM", {256, 256, 900ms}, 4), "EEPROM  [####] 100%");
    EXPECT_EQ(progress_line("FLASH", {40, 32, 0s}, 4), "FLASH   [####] 100%");  // never past the end
    EXPECT_EQ(progress_line("FLASH", {1, 32, 0s}, 4), "FLASH   [----]   3%");
    EXPECT_EQ(progress_line("EEPROM", {370, 1000, 90s}, 4), "EEPROM  [#---]  37%, 2:34 left");
    EXPECT_EQ(progress_line("CONF1L", {0, 0, 0s}, 10), "CONF1L");
    EXPECT_EQ(progress_line("CONF1L", {32, 32, 3s}, 4), "CONF1L  [####] 100%, 0:00 left");
}

TEST(ProgressBar, RedrawsOnlyWhenTheLineChangesAndClearsItself) {
    QString err_text;
    QTextStream err(&err_text);
    ProgressBar bar(err, 10);
    for (int done = 1; done <= 1000; ++done)
        bar.show("FLASH", {done, 1000, {}});
    EXPECT_EQ(err_text.count('\r'), 101);  // once per percent (0 to 100), not once per byte
    err_text.clear();
    bar.show("CONF1L", {});
    EXPECT_TRUE(err_text.startsWith("\rCONF1L     ")) << err_text.toStdString();  // the longer line blanked
    err_text.clear();
    bar.clear();
    EXPECT_EQ(err_text, "\r      \r");
    err_text.clear();
    bar.clear();
    EXPECT_EQ(err_text, "");
}

struct HostOutput {
    QString out_text;
    QString err_text;
    QTextStream out{&out_text};
    QTextStream err{&err_text};
};

TEST(CliHost, PrintsTheStatusEachOperationEndsWithAndNothingBefore) {
    HostOutput o;
    CliHost host(o.out, o.err);
    host.set_status("Begin program all.");
    host.set_status("F:1/32");
    host.set_status("CONF1L:");
    host.set_status("Chip programmed. 0.12 seconds elapsed...");
    EXPECT_EQ(o.out_text, "");
    host.finish_operation();
    host.finish_operation();
    EXPECT_EQ(o.out_text, "Chip programmed. 0.12 seconds elapsed...\n");
    EXPECT_EQ(o.err_text, "") << "no bar without a terminal";

    // A message follows the status it explains.
    host.set_status("Begin verify.");
    host.set_status("Chip verify failed. 0.20 seconds elapsed...");
    host.show_message("Chip verify failed:\r\n\r\nMemory Location,   Read Value,   Expected,\r\n",
                      MessageKind::Error, "");
    EXPECT_EQ(o.out_text,
              "Chip programmed. 0.12 seconds elapsed...\nChip verify failed. 0.20 seconds elapsed...\n");
    EXPECT_EQ(o.err_text, "Chip verify failed:\n\nMemory Location,   Read Value,   Expected,\n");
}

TEST(CliHost, AHeldStatusIsPrintedWhenTheHostEnds) {
    HostOutput o;
    {
        CliHost host(o.out, o.err);
        host.set_status("HEX file saved.");
    }
    EXPECT_EQ(o.out_text, "HEX file saved.\n");
}

TEST(CliHost, DrawsProgressOnErrAndClearsItBeforeOtherText) {
    HostOutput o;
    CliHost host(o.out, o.err, true);
    host.set_status("E:128/256");
    EXPECT_TRUE(o.err_text.startsWith("\rEEPROM  [")) << o.err_text.toStdString();
    EXPECT_TRUE(o.err_text.endsWith("]  50%"));
    // The run's own count, over all its loops, takes over from the caption's.
    host.show_progress({32896, 33024, std::chrono::seconds(1200)});
    EXPECT_TRUE(o.err_text.endsWith("]  99%, 0:05 left")) << o.err_text.toStdString();
    host.set_status("Chip read. 0.50 seconds elapsed...");
    host.finish_operation();
    EXPECT_TRUE(o.err_text.endsWith('\r')) << "the bar's line is blanked before the status shows";
    EXPECT_EQ(o.out_text, "Chip read. 0.50 seconds elapsed...\n");
}

}  // namespace
}  // namespace quillon

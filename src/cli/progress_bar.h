#pragma once

#include <QTextStream>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/host.h"
#include "engine/script/run_progress.h"

namespace quillon {

// A progress caption of a running script: "F:12/32768" (FLASH), "E:3/256" (EEPROM) or a
// configuration byte's caption such as "CONF1L:".
struct ProgressCaption {
    std::string_view label;  // "FLASH", "EEPROM" or "CONF1L"; refers to static text or the caption
    std::int64_t done = 0;   // bytes so far, counted from 1; 0 for a configuration byte
    std::int64_t total = 0;
};

// The caption a status text is, or nothing for any other status text.
std::optional<ProgressCaption> parse_progress_caption(std::string_view status);

// One line of the bar: the memory the run is at, and the share of the whole run done with the
// time left once it can be told, for example "FLASH   [######--------------]  37%, 2:31 left". A
// configuration byte's caption alone shows only its name.
std::string progress_line(std::string_view label, const RunProgress& progress, int width);
// The same with the text `progress` is told in.
std::string progress_line(std::string_view label, const RunProgress& progress, const std::string& text,
                          int width);

// Draws the progress of a run on one terminal line, redrawn in place (carriage return) only when
// what it shows changes, so that a run of many thousand captions writes a few hundred lines.
class ProgressBar {
  public:
    explicit ProgressBar(QTextStream& err, int width = 30) : err_(err), width_(width) {}

    void show(std::string_view label, const RunProgress& progress);
    // Blanks the line, so that other text starts at its beginning.
    void clear();

  private:
    QTextStream& err_;
    int width_;
    std::string drawn_;
    ProgressTeller teller_;
};

// True when standard error goes to a terminal (and not to a file or a pipe).
bool stderr_is_terminal();

}  // namespace quillon

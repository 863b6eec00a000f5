#include "cli/progress_bar.h"

#include <QString>
#include <algorithm>
#include <charconv>
#include <cstdio>

#include "engine/script/run_progress.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quillon {

namespace {

// The decimal number that fills `text` entirely.
std::optional<std::int64_t> whole_number(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<ProgressCaption> byte_caption(std::string_view label, std::string_view counts) {
    const std::size_t slash = counts.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const auto done = whole_number(counts.substr(0, slash));
    const auto total = whole_number(counts.substr(slash + 1));
    if (!done || !total) return std::nullopt;
    return ProgressCaption{label, *done, *total};
}

bool is_config_caption(std::string_view status) {
    // CONF1L: to CONF7H:
    return status.size() == 7 && status.starts_with("CONF") && status[4] >= '1' && status[4] <= '7' &&
           (status[5] == 'L' || status[5] == 'H') && status[6] == ':';
}

}  // namespace

std::optional<ProgressCaption> parse_progress_caption(std::string_view status) {
    if (status.starts_with("F:")) return byte_caption("FLASH", status.substr(2));
    if (status.starts_with("E:")) return byte_caption("EEPROM", status.substr(2));
    if (is_config_caption(status)) return ProgressCaption{status.substr(0, 6), 0, 0};
    return std::nullopt;
}

std::string progress_line(std::string_view label, const RunProgress& progress, int width) {
    return progress_line(label, progress, progress_text(progress), width);
}

std::string progress_line(std::string_view label, const RunProgress& progress, const std::string& text,
                          int width) {
    std::string line(label);
    line.resize(std::max<std::size_t>(line.size(), 6), ' ');
    if (progress.total <= 0) return line;  // nothing to count: the name is all there is to show
    const std::int64_t done = std::clamp<std::int64_t>(progress.done, 0, progress.total);
    const std::int64_t filled = done * width / progress.total;
    line += "  [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(width - filled), '-');
    line += "] ";
    // The percent right-aligned in four places, so that the bar does not move.
    line.append(text.find('%') < 3 ? 3 - text.find('%') : 0, ' ');
    line += text;
    return line;
}

void ProgressBar::show(std::string_view label, const RunProgress& progress) {
    std::string line = progress_line(label, progress, teller_.text(progress), width_);
    if (line == drawn_) return;
    // Shorter text than the line before leaves its tail behind unless it is blanked.
    const std::size_t blank = drawn_.size() > line.size() ? drawn_.size() - line.size() : 0;
    err_ << '\r' << QString::fromStdString(line) << QString(static_cast<qsizetype>(blank), ' ');
    err_.flush();
    drawn_ = std::move(line);
}

void ProgressBar::clear() {
    teller_ = {};
    if (drawn_.empty()) return;
    err_ << '\r' << QString(static_cast<qsizetype>(drawn_.size()), ' ') << '\r';
    err_.flush();
    drawn_.clear();
}

bool stderr_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(::fileno(stderr)) != 0;
#endif
}

}  // namespace quillon

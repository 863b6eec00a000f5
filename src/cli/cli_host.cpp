#include "cli/cli_host.h"

#include <QString>

namespace quillon {

namespace {

// Message texts break their lines with CR LF; a terminal wants plain newlines, and one at the end.
QString terminal_lines(std::string_view text) {
    QString lines = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!lines.endsWith('\n')) lines += '\n';
    return lines;
}

}  // namespace

CliHost::CliHost(QTextStream& out, QTextStream& err, bool progress_bar) : out_(out), err_(err) {
    if (progress_bar) progress_.emplace(err);
}

CliHost::~CliHost() {
    finish_operation();
}

void CliHost::set_status(std::string_view text) {
    if (const std::optional<ProgressCaption> caption = parse_progress_caption(text)) {
        if (!progress_) return;
        caption_label_.assign(caption->label);
        // A run that counts its own progress has it follow at once; the caption's counts serve
        // until then.
        progress_->show(caption_label_,
                        run_progress_ ? *run_progress_ : RunProgress{caption->done, caption->total, {}});
        return;
    }
    held_status_ = std::string(text);
}

void CliHost::show_progress(const RunProgress& progress) {
    if (!progress_) return;
    run_progress_ = progress;
    if (!caption_label_.empty()) progress_->show(caption_label_, progress);
}

void CliHost::finish_operation() {
    run_progress_.reset();
    caption_label_.clear();
    if (progress_) progress_->clear();
    if (held_status_.empty()) return;
    out_ << terminal_lines(held_status_);
    out_.flush();
    held_status_.clear();
}

void CliHost::write_err(std::string_view text) {
    finish_operation();
    err_ << terminal_lines(text);
    err_.flush();
}

MessageAnswer CliHost::show_message(std::string_view text, MessageKind kind, std::string_view) {
    write_err(text);
    return is_question(kind) ? yes_no_answer : MessageAnswer::Ok;
}

std::string CliHost::ask_text(std::string_view prompt, std::string_view, std::string_view) {
    write_err(prompt);
    return text_answer;
}

}  // namespace quillon

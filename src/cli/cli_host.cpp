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

void CliHost::set_status(std::string_view text) {
    out_ << terminal_lines(text);
    out_.flush();
}

int CliHost::show_message(std::string_view text, int kind, std::string_view) {
    out_.flush();
    err_ << terminal_lines(text);
    err_.flush();
    return kind == kMessageYesNo ? yes_no_answer : kAnswerOk;
}

std::string CliHost::ask_text(std::string_view prompt, std::string_view, std::string_view) {
    out_.flush();
    err_ << terminal_lines(prompt);
    err_.flush();
    return text_answer;
}

}  // namespace quillon

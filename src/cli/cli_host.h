#pragma once

#include <QTextStream>
#include <optional>
#include <string>

#include "base/host.h"
#include "cli/progress_bar.h"

namespace quillon {

// The Host of quillon-cli. The status line goes to `out` as the operations leave it: a status text
// is held until the operation ends (finish_operation) or a message follows it, and only the last
// one is printed, so that start texts and progress captions do not fill the output. Progress
// captions draw a bar on `err` when it is given one, and nothing otherwise. Message-box texts go
// to `err` as plain lines; there is no window to lock or redraw. Nobody is there to answer
// questions: Yes/No questions get `yes_no_answer` and input boxes `text_answer` (empty, as Cancel
// would).
class CliHost : public Host {
  public:
    CliHost(QTextStream& out, QTextStream& err, bool progress_bar = false);
    ~CliHost() override;
    CliHost(const CliHost&) = delete;
    CliHost& operator=(const CliHost&) = delete;

    void set_status(std::string_view text) override;
    void set_loaded_file(std::string_view text) override { loaded_file = std::string(text); }
    MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title) override;
    std::string ask_text(std::string_view prompt, std::string_view title,
                         std::string_view default_text) override;
    void yield() override {}
    void disable() override {}
    void enable() override {}
    void updatedisplay() override {}

    // Prints the status text the last operation left, if not printed yet, after clearing the bar.
    void finish_operation();

    std::string loaded_file;
    MessageAnswer yes_no_answer = MessageAnswer::No;
    std::string text_answer;

  private:
    void write_err(std::string_view text);

    QTextStream& out_;
    QTextStream& err_;
    std::optional<ProgressBar> progress_;
    std::string held_status_;
};

}  // namespace quillon

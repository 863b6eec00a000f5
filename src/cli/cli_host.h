#pragma once

#include <QTextStream>
#include <string>

#include "engine/host.h"

namespace quillon {

// The Host of quillon-cli: the status line goes to `out`, message-box texts to `err` (each as
// plain lines), and there is no window to lock or redraw. Nobody is there to answer questions:
// Yes/No questions get `yes_no_answer` and input boxes `text_answer` (empty, as Cancel would).
class CliHost : public Host {
  public:
    CliHost(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    void set_status(std::string_view text) override;
    void set_loaded_file(std::string_view text) override { loaded_file = std::string(text); }
    int show_message(std::string_view text, int kind, std::string_view title) override;
    std::string ask_text(std::string_view prompt, std::string_view title,
                         std::string_view default_text) override;
    void yield() override {}
    void disable() override {}
    void enable() override {}
    void updatedisplay() override {}

    std::string loaded_file;
    int yes_no_answer = kAnswerNo;
    std::string text_answer;

  private:
    QTextStream& out_;
    QTextStream& err_;
};

}  // namespace quillon

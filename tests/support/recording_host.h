#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/host.h"

namespace quillon {

// A host without windows that remembers what an operation asked of it. Message boxes and input
// boxes answer from queues set up by the test (OK / empty text when the queue is empty).
class RecordingHost : public Host {
  public:
    struct Message {
        std::string text;
        MessageKind kind;
        std::string title;
    };
    struct Prompt {
        std::string prompt;
        std::string title;
        std::string default_text;
    };

    void set_status(std::string_view text) override { statuses.emplace_back(text); }
    void set_loaded_file(std::string_view text) override { loaded_file = std::string(text); }
    MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title) override {
        messages.push_back({std::string(text), kind, std::string(title)});
        if (message_answers.empty()) return is_question(kind) ? MessageAnswer::Yes : MessageAnswer::Ok;
        const MessageAnswer answer = message_answers.front();
        message_answers.pop_front();
        return answer;
    }
    std::string ask_text(std::string_view prompt, std::string_view title,
                         std::string_view default_text) override {
        prompts.push_back({std::string(prompt), std::string(title), std::string(default_text)});
        if (text_answers.empty()) return {};
        std::string answer = text_answers.front();
        text_answers.pop_front();
        return answer;
    }
    void yield() override { ++yields; }
    void disable() override {
        ++disables;
        enabled = false;
    }
    void enable() override {
        ++enables;
        enabled = true;
    }
    void updatedisplay() override { ++redraws; }
    bool stop_requested() override { return stop_when && stop_when(); }
    void show_progress(const RunProgress& p) override { progress.push_back(p); }

    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }

    std::vector<std::string> statuses;
    std::string loaded_file;
    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    std::deque<MessageAnswer> message_answers;
    std::deque<std::string> text_answers;
    long long yields = 0;
    int disables = 0;
    int enables = 0;
    int redraws = 0;
    bool enabled = true;
    std::function<bool()> stop_when;  // the user's stop, asked between frames
    std::vector<RunProgress> progress;
};

}  // namespace quillon

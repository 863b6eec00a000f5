#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/host.h"
#include "ui/user_dialogs.h"

namespace quillon {

// Message, input and file boxes that answer from queues set up by the test and remember what they
// were asked (OK or Yes, and empty text, when a queue is empty).
class ScriptedDialogs final : public UserDialogs {
  public:
    struct Message {
        std::string text;
        MessageKind kind;
        std::string title;
    };

    MessageAnswer show_message(std::string_view text, MessageKind kind, std::string_view title) override {
        messages.push_back({std::string(text), kind, std::string(title)});
        if (on_message) on_message();
        if (answers.empty()) return is_question(kind) ? MessageAnswer::Yes : MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string ask_text(std::string_view prompt, std::string_view, std::string_view) override {
        prompts.emplace_back(prompt);
        if (texts.empty()) return {};
        std::string text = texts.front();
        texts.pop_front();
        return text;
    }

    std::string choose_file(const FileDialogRequest& request) override {
        file_requests.push_back(request);
        if (files.empty()) return {};
        std::string path = files.front();
        files.pop_front();
        return path;
    }

    std::vector<Message> messages;
    std::vector<std::string> prompts;
    std::deque<MessageAnswer> answers;
    std::deque<std::string> texts;
    std::vector<FileDialogRequest> file_requests;
    std::deque<std::string> files;  // chosen paths; empty text (or none left) is Cancel
    std::function<void()> on_message;
};

}  // namespace quillon

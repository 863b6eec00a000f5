#include "tools/doctor/doctor_words.h"

#include <cstdio>

namespace quillon {

std::string file_name(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string microseconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value < 100 ? "%.1f us" : "%.0f us", value);
    return text;
}

std::string holder_text(const DeviceHolder& holder) {
    const std::string process = "process " + std::to_string(holder.pid);
    return holder.program.empty() ? process : holder.program + " (" + process + ")";
}

std::string join(const std::vector<std::string>& parts, const std::string& separator) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

std::string programs_text(std::vector<std::string> programs) {
    constexpr std::size_t kNamed = 4;
    if (programs.size() <= kNamed) return join(programs, ", ");
    const std::size_t more = programs.size() - kNamed;
    programs.resize(kNamed);
    return join(programs, ", ") + " and " + std::to_string(more) + " more";
}

std::string clause(std::string text) {
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

}  // namespace quillon

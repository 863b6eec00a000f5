#include "backends/sim/sim_log.h"

#include <algorithm>
#include <cstdio>

namespace quillon {

void SimLog::add(std::chrono::nanoseconds time, Kind kind, std::string text) {
    if (entries_.size() + 1 >= kMaxEntries) {
        if (!truncated_) entries_.push_back({time, Kind::Event, "log full: later entries dropped"});
        truncated_ = true;
        return;
    }
    entries_.push_back({time, kind, std::move(text)});
}

std::size_t SimLog::refusal_count() const {
    return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(),
                                                  [](const Entry& e) { return e.kind == Kind::Refusal; }));
}

bool SimLog::contains(std::string_view part) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [part](const Entry& e) { return e.text.find(part) != std::string::npos; });
}

std::string SimLog::to_text() const {
    std::string text;
    for (const Entry& e : entries_) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%12.3f ms  ", static_cast<double>(e.time.count()) / 1e6);
        text += stamp;
        if (e.kind == Kind::Refusal) text += "refused: ";
        text += e.text;
        text += '\n';
    }
    return text;
}

void SimLog::clear() {
    entries_.clear();
    truncated_ = false;
}

}  // namespace quillon

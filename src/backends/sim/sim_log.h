#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

// What the simulated board and chip did that a script author needs to know: power cycles, erases,
// and above all every refusal (wrong key, write protection, busy chip, short programming pulse,
// no programming mode). Tests read it; users can print it.
class SimLog {
  public:
    enum class Kind { Event, Refusal };
    struct Entry {
        std::chrono::nanoseconds time;
        Kind kind;
        std::string text;
    };

    // A script that keeps making the same mistake must not fill the memory.
    static constexpr std::size_t kMaxEntries = 10000;

    void event(std::chrono::nanoseconds time, std::string text) { add(time, Kind::Event, std::move(text)); }
    void refusal(std::chrono::nanoseconds time, std::string text) {
        add(time, Kind::Refusal, std::move(text));
    }

    const std::vector<Entry>& entries() const { return entries_; }
    std::size_t refusal_count() const;
    // True when some entry's text contains `part`.
    bool contains(std::string_view part) const;
    // One line per entry: time in milliseconds, "refused: " for refusals, the text.
    std::string to_text() const;
    void clear();

  private:
    void add(std::chrono::nanoseconds time, Kind kind, std::string text);

    std::vector<Entry> entries_;
    bool truncated_ = false;
};

}  // namespace quillon

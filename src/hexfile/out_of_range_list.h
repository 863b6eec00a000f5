#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// The data addresses of a HEX file that the address map has no place for, in file order, as the
// load warning lists them: all of them up to 24, otherwise the first 16, "..., " and the last 8.
// Only the entries that can be shown are kept, so a file full of foreign data costs no memory.
class OutOfRangeList {
  public:
    // Addresses are listed by their low 24 bits, as hex6 shows them.
    void add(std::int64_t address);

    std::int64_t count() const { return count_; }
    bool empty() const { return count_ == 0; }

    // "000010, 000011, 000012." style text: the entries joined by ", " with a full stop.
    std::string text() const;

  private:
    static constexpr std::size_t kShownWhole = 24;
    static constexpr std::size_t kShownFirst = 16;
    static constexpr std::size_t kShownLast = 8;

    std::vector<std::int32_t> first_;              // up to kShownWhole entries
    std::array<std::int32_t, kShownLast> last_{};  // ring of the latest entries
    std::int64_t count_ = 0;
};

}  // namespace quillon

#include "hexfile/out_of_range_list.h"

#include "base/hex_text.h"

namespace quillon {

void OutOfRangeList::add(std::int64_t address) {
    const auto shown = static_cast<std::int32_t>(address & 0xFFFFFF);
    if (first_.size() < kShownWhole) first_.push_back(shown);
    last_[static_cast<std::size_t>(count_ % kShownLast)] = shown;
    ++count_;
}

std::string OutOfRangeList::text() const {
    std::string text;
    const auto append = [&text](std::int32_t address) {
        text += hex6(address);
        text += ", ";
    };
    if (count_ <= static_cast<std::int64_t>(kShownWhole)) {
        for (std::int32_t address : first_)
            append(address);
    } else {
        for (std::size_t i = 0; i < kShownFirst; ++i)
            append(first_[i]);
        text += "..., ";
        // The ring's oldest entry sits where the next one would go.
        for (std::size_t i = 0; i < kShownLast; ++i)
            append(last_[static_cast<std::size_t>((count_ + static_cast<std::int64_t>(i)) % kShownLast)]);
    }
    if (!text.empty()) text.resize(text.size() - 2);
    text += '.';
    return text;
}

}  // namespace quillon

#include "base/basic_settings_store.h"

#include <charconv>
#include <limits>

namespace quillon {

std::size_t utf8_length(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // continuation bytes do not count
    return count;
}

bool parse_stored_int32(std::string_view text, std::int32_t& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return false;
    std::int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

std::string BasicSettingsStore::get_text_setting(std::string_view name, std::string_view default_value) {
    const StoredSetting stored = read_setting(name);
    switch (stored.kind) {
        case StoredSetting::Kind::Text:
            if (utf8_length(stored.text) <= kMaxSettingTextLength) return stored.text;
            break;
        case StoredSetting::Kind::Number:
            return std::to_string(stored.number);
        case StoredSetting::Kind::Unavailable:
            return std::string(default_value);
        case StoredSetting::Kind::Missing:
        case StoredSetting::Kind::OtherKind:
            break;
    }
    write_text(name, default_value);
    return std::string(default_value);
}

void BasicSettingsStore::set_text_setting(std::string_view name, std::string_view value) {
    write_text(name, value);
}

std::int32_t BasicSettingsStore::get_number_setting(std::string_view name, std::int32_t default_value) {
    const StoredSetting stored = read_setting(name);
    switch (stored.kind) {
        case StoredSetting::Kind::Number:
            if (stored.number >= std::numeric_limits<std::int32_t>::min() &&
                stored.number <= std::numeric_limits<std::int32_t>::max())
                return static_cast<std::int32_t>(stored.number);
            break;
        case StoredSetting::Kind::Text: {
            std::int32_t value = 0;
            if (parse_stored_int32(stored.text, value)) return value;
            break;
        }
        case StoredSetting::Kind::Unavailable:
            return default_value;
        case StoredSetting::Kind::Missing:
        case StoredSetting::Kind::OtherKind:
            break;
    }
    write_number(name, default_value);
    return default_value;
}

void BasicSettingsStore::set_number_setting(std::string_view name, std::int32_t value) {
    write_number(name, value);
}

}  // namespace quillon

#include "base/memory_settings_store.h"

namespace quillon {

void MemorySettingsStore::put(std::string_view name, StoredSetting value) {
    values_.insert_or_assign(std::string(name), std::move(value));
}

void MemorySettingsStore::put_text(std::string_view name, std::string_view text) {
    put(name, {StoredSetting::Kind::Text, std::string(text), 0});
}

void MemorySettingsStore::put_number(std::string_view name, std::int64_t number) {
    put(name, {StoredSetting::Kind::Number, {}, number});
}

void MemorySettingsStore::erase(std::string_view name) {
    if (const auto it = values_.find(name); it != values_.end()) values_.erase(it);
}

StoredSetting MemorySettingsStore::stored(std::string_view name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? StoredSetting{} : it->second;
}

StoredSetting MemorySettingsStore::read_setting(std::string_view name) {
    if (unavailable) return {StoredSetting::Kind::Unavailable, {}, 0};
    return stored(name);
}

void MemorySettingsStore::write_text(std::string_view name, std::string_view value) {
    if (!unavailable) put_text(name, value);
}

void MemorySettingsStore::write_number(std::string_view name, std::int32_t value) {
    if (!unavailable) put_number(name, value);
}

}  // namespace quillon

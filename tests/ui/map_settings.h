#pragma once

#include <map>
#include <string>
#include <variant>

#include "settings/settings_store.h"

namespace quillon {

// Settings in a map, with the store's rule that a read of a missing value writes the default.
class MapSettings final : public SettingsStore {
  public:
    std::string get_text_setting(std::string_view name, std::string_view default_value) override {
        auto [at, added] = values.try_emplace(std::string(name), std::string(default_value));
        if (!added && !std::holds_alternative<std::string>(at->second))
            at->second = std::string(default_value);
        return std::get<std::string>(at->second);
    }
    void set_text_setting(std::string_view name, std::string_view value) override {
        values[std::string(name)] = std::string(value);
    }
    std::int32_t get_number_setting(std::string_view name, std::int32_t default_value) override {
        auto [at, added] = values.try_emplace(std::string(name), default_value);
        if (!added && !std::holds_alternative<std::int32_t>(at->second)) at->second = default_value;
        return std::get<std::int32_t>(at->second);
    }
    void set_number_setting(std::string_view name, std::int32_t value) override {
        values[std::string(name)] = value;
    }

    std::string text(const std::string& name) const {
        const auto at = values.find(name);
        return at == values.end() ? "<missing>" : std::get<std::string>(at->second);
    }

    std::map<std::string, std::variant<std::string, std::int32_t>> values;
};

}  // namespace quillon

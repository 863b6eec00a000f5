#include "base/command_line_settings.h"

namespace quillon {

void CommandLineSettings::give_number(std::string_view name, std::int32_t value) {
    numbers_.insert_or_assign(std::string(name), value);
}

std::int32_t CommandLineSettings::get_number_setting(std::string_view name, std::int32_t default_value) {
    const auto given = numbers_.find(name);
    return given != numbers_.end() ? given->second : user_.get_number_setting(name, default_value);
}

void CommandLineSettings::set_number_setting(std::string_view name, std::int32_t value) {
    const auto given = numbers_.find(name);
    if (given != numbers_.end()) {
        given->second = value;
        return;
    }
    user_.set_number_setting(name, value);
}

}  // namespace quillon

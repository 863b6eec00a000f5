#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "base/settings_store.h"

namespace quillon {

// The user's settings, with some numbers given on the command line in their place: reads of those
// names get the given number, and a choice made on the command line is never written to the
// user's store, so one command does not change what the program starts with next time.
class CommandLineSettings final : public SettingsStore {
  public:
    explicit CommandLineSettings(SettingsStore& user) : user_(user) {}

    void give_number(std::string_view name, std::int32_t value);

    std::string get_text_setting(std::string_view name, std::string_view default_value) override {
        return user_.get_text_setting(name, default_value);
    }
    void set_text_setting(std::string_view name, std::string_view value) override {
        user_.set_text_setting(name, value);
    }
    std::int32_t get_number_setting(std::string_view name, std::int32_t default_value) override;
    void set_number_setting(std::string_view name, std::int32_t value) override;

  private:
    SettingsStore& user_;
    std::map<std::string, std::int32_t, std::less<>> numbers_;
};

}  // namespace quillon

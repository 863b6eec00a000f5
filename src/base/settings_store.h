#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// The user's choices kept between runs, as named texts and 32-bit numbers. Every read names a
// default; a value that is missing (or cannot be read) is stored with that default before the
// default is returned, so after a first run every setting the program uses exists and can be
// edited outside the program. Nothing is cached: each call goes to the store, and failures of the
// store are never reported, the defaults simply apply.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    virtual std::string get_text_setting(std::string_view name, std::string_view default_value) = 0;
    virtual void set_text_setting(std::string_view name, std::string_view value) = 0;
    virtual std::int32_t get_number_setting(std::string_view name, std::int32_t default_value) = 0;
    virtual void set_number_setting(std::string_view name, std::int32_t value) = 0;
};

}  // namespace quillon

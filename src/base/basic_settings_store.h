#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/settings_store.h"

namespace quillon {

// The longest text a setting may hold; a longer one reads as missing and is replaced by the default.
inline constexpr std::size_t kMaxSettingTextLength = 254;

// What a backend found under a name, before the store's rules judge it.
struct StoredSetting {
    enum class Kind : std::uint8_t {
        Missing,      // no value of that name
        Text,         // `text`, UTF-8
        Number,       // `number`, any integer the backend could represent
        OtherKind,    // a list, a binary blob or anything else this program never writes
        Unavailable,  // the store itself cannot be read (corrupt or unreadable file)
    };
    Kind kind = Kind::Missing;
    std::string text;
    std::int64_t number = 0;
};

// The rules every settings store follows, over a backend that only reads and writes named values:
// - a missing value, a value of a kind the setting cannot use, or a text longer than
//   kMaxSettingTextLength characters is written with the default, and the default is returned;
// - a number setting accepts a stored text that is a plain decimal integer (file formats keep
//   numbers as text), a text setting shows a stored number in decimal;
// - when the store cannot be read at all the default is returned and nothing is written, so a
//   damaged settings file is left for the user to mend instead of being overwritten.
class BasicSettingsStore : public SettingsStore {
  public:
    std::string get_text_setting(std::string_view name, std::string_view default_value) final;
    void set_text_setting(std::string_view name, std::string_view value) final;
    std::int32_t get_number_setting(std::string_view name, std::int32_t default_value) final;
    void set_number_setting(std::string_view name, std::int32_t value) final;

  protected:
    virtual StoredSetting read_setting(std::string_view name) = 0;
    // Writes are best effort: a backend ignores its own failures.
    virtual void write_text(std::string_view name, std::string_view value) = 0;
    virtual void write_number(std::string_view name, std::int32_t value) = 0;
};

// Number of characters (Unicode code points) of a UTF-8 text.
std::size_t utf8_length(std::string_view text);

// The integer a stored text holds: optional sign and decimal digits, nothing else, within 32 bits.
bool parse_stored_int32(std::string_view text, std::int32_t& value);

}  // namespace quillon

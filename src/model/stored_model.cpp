#include "model/stored_model.h"

#include "base/numbers.h"

namespace quillon {

std::int32_t stored_model_number(SettingsStore& settings, std::int32_t model_count) {
    const std::int32_t number = leading_int32(read_setting(settings, kModelSetting), 0);
    return number >= 1 && number <= model_count ? number : 0;
}

}  // namespace quillon

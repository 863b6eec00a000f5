#include <gtest/gtest.h>

#include "base/memory_settings_store.h"
#include "model/stored_model.h"

namespace quillon {
namespace {

TEST(StoredModel, NumbersAModelOfTheLibraryOrNone) {
    const struct {
        const char* stored;
        std::int32_t expected;
    } cases[] = {
        {"2", 2}, {" 3", 3}, {"2.5", 2}, {"3.5", 4}, {"4", 4},           {"5", 0},
        {"0", 0}, {"-1", 0}, {"abc", 0}, {"", 0},    {"99999999999", 0},
    };
    for (const auto& c : cases) {
        MemorySettingsStore settings;
        settings.put_text(kModelSetting.name, c.stored);
        EXPECT_EQ(stored_model_number(settings, 4), c.expected) << '"' << c.stored << '"';
        EXPECT_EQ(settings.stored(kModelSetting.name).text, c.stored) << "reading leaves the value as it was";
    }
}

TEST(StoredModel, AMissingSettingIsCreatedAsModel1) {
    MemorySettingsStore settings;
    EXPECT_EQ(stored_model_number(settings, 3), 1);
    EXPECT_EQ(settings.stored(kModelSetting.name).text, "1");
}

}  // namespace
}  // namespace quillon

#include <gtest/gtest.h>

#include "base/command_line_settings.h"
#include "base/memory_settings_store.h"

namespace quillon {
namespace {

using Kind = StoredSetting::Kind;

TEST(SettingsRules, AMissingValueIsStoredWithTheDefaultWhenRead) {
    MemorySettingsStore store;
    EXPECT_EQ(store.get_text_setting("Color Theme", "Original Lite"), "Original Lite");
    EXPECT_EQ(store.stored("Color Theme").text, "Original Lite");
    EXPECT_EQ(store.get_number_setting("Mouse Wheel Enabled", 1), 1);
    EXPECT_EQ(store.stored("Mouse Wheel Enabled").kind, Kind::Number);
    EXPECT_EQ(store.stored("Mouse Wheel Enabled").number, 1);

    // Once stored, the stored value wins over another default.
    EXPECT_EQ(store.get_text_setting("Color Theme", "Other"), "Original Lite");
    EXPECT_EQ(store.get_number_setting("Mouse Wheel Enabled", 0), 1);
}

TEST(SettingsRules, EveryReadSeesTheStoreAsItIsNow) {
    MemorySettingsStore store;
    store.set_number_setting("Serial Port Number", 3);
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 3);
    store.put_number("Serial Port Number", 9);  // edited outside the program
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 9);
    store.erase("Serial Port Number");  // deleted by hand: recreated with the default
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 2);
    EXPECT_EQ(store.stored("Serial Port Number").number, 2);
}

TEST(SettingsRules, TextsLongerThan254CharactersReadAsMissing) {
    MemorySettingsStore store;
    store.put_text("Last Path", std::string(300, 'a'));
    EXPECT_EQ(store.get_text_setting("Last Path", "/opt/quillon/"), "/opt/quillon/");
    EXPECT_EQ(store.stored("Last Path").text, "/opt/quillon/");

    store.put_text("Last Path", std::string(255, 'b'));
    EXPECT_EQ(store.get_text_setting("Last Path", "d"), "d");

    const std::string longest(254, 'c');
    store.set_text_setting("Last Path", longest);
    EXPECT_EQ(store.get_text_setting("Last Path", "d"), longest);

    // Characters, not bytes: 254 two-byte letters still fit.
    std::string letters;
    for (int i = 0; i < 254; ++i)
        letters += "\xC3\xA9";
    store.set_text_setting("Last Path", letters);
    EXPECT_EQ(store.get_text_setting("Last Path", "d"), letters);
}

TEST(SettingsRules, AnEmptyStoredTextIsEmptyNotMissing) {
    MemorySettingsStore store;
    store.put_text("Last Path", "");
    EXPECT_EQ(store.get_text_setting("Last Path", "/opt/quillon/"), "");
}

TEST(SettingsRules, ValuesOfTheWrongKindFallBackToTheDefault) {
    MemorySettingsStore store;
    store.put_text("Serial Port Number", "abc");
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 2);
    EXPECT_EQ(store.stored("Serial Port Number").kind, Kind::Number);

    for (const char* bad : {"5x", "2.5", "", "++5", "2147483648", " 5"}) {
        store.put_text("n", bad);
        EXPECT_EQ(store.get_number_setting("n", -1), -1) << bad;
    }
    store.put_number("n", std::int64_t{1} << 40);
    EXPECT_EQ(store.get_number_setting("n", 7), 7);

    store.put("Color Theme", {Kind::OtherKind, {}, 0});  // a list, say
    EXPECT_EQ(store.get_text_setting("Color Theme", "Original Lite"), "Original Lite");
    EXPECT_EQ(store.stored("Color Theme").text, "Original Lite");
    store.put("Mouse Wheel Enabled", {Kind::OtherKind, {}, 0});
    EXPECT_EQ(store.get_number_setting("Mouse Wheel Enabled", 1), 1);
}

TEST(SettingsRules, NumbersKeptAsTextAndTextsKeptAsNumbersAreUnderstood) {
    MemorySettingsStore store;
    for (const auto& [text, value] :
         {std::pair{"7", 7}, {"+7", 7}, {"-12", -12}, {"2147483647", 2147483647}}) {
        store.put_text("Serial Port Number", text);
        EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), value) << text;
    }
    store.put_number("Microcontroller Model", 3);
    EXPECT_EQ(store.get_text_setting("Microcontroller Model", "1"), "3");
}

TEST(SettingsRules, AnUnreachableStoreGivesDefaultsAndLosesWritesQuietly) {
    MemorySettingsStore store;
    store.put_text("Color Theme", "Night");
    store.unavailable = true;
    EXPECT_EQ(store.get_text_setting("Color Theme", "Original Lite"), "Original Lite");
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 2);
    store.set_text_setting("Color Theme", "Day");
    store.unavailable = false;
    EXPECT_EQ(store.stored("Color Theme").text, "Night");
    EXPECT_FALSE(store.contains("Serial Port Number"));
}

TEST(CommandLineSettings, AGivenNumberIsReadButNeverStored) {
    MemorySettingsStore user;
    user.put_number("Serial Port Number", 3);
    CommandLineSettings settings(user);
    settings.give_number("Serial Port Number", 7);
    EXPECT_EQ(settings.get_number_setting("Serial Port Number", 2), 7);
    settings.set_number_setting("Serial Port Number", 8);
    EXPECT_EQ(settings.get_number_setting("Serial Port Number", 2), 8);
    EXPECT_EQ(user.stored("Serial Port Number").number, 3);

    // Everything else is the user's store with its rules.
    EXPECT_EQ(settings.get_text_setting("Serial Port Baud Rate", "56000"), "56000");
    EXPECT_EQ(user.stored("Serial Port Baud Rate").text, "56000");
    settings.set_number_setting("Mouse Wheel Enabled", 0);
    EXPECT_EQ(user.stored("Mouse Wheel Enabled").number, 0);
}

}  // namespace
}  // namespace quillon

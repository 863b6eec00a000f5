#include "model/config_decode.h"

#include <gtest/gtest.h>

#include "model/device_file.h"
#include "model/select_model.h"

namespace quillon {
namespace {

// A PIC18F4550-like model: CONFIG1L implements 3F, CONFIG1H CF, CONFIG4L C5 (no ICPRT bit 5).
AppState state_with(const std::string& settings) {
    AppState state;
    parse_device_text(state.catalog,
                      "model: Part\n"
                      "configerased: 00 05 1F 1F 00 83 85 00 0F C0 0F E0 0F 40\n"
                      "configbits: 3F CF 3F 1F 00 87 C5 00 0F C0 0F E0 0F 40\n" +
                          settings);
    state.model_count = state.catalog.model_count();
    select_model(state, 1);
    return state;
}

std::vector<std::string> texts(const AppState& state, const ConfigValues& config, int byte = 0) {
    std::vector<std::string> result;
    for (const DecodedSetting& decoded : decode_config(state.silicon, config, byte))
        result.push_back(decoded_text(decoded));
    return result;
}

TEST(ConfigDecode, NamesValuesUnderTheImplementedBitsAndShowsOthersInHex) {
    AppState state = state_with(
        "setting: 1h FOSC 0F XT=00 HS=0C HSPLL=0E\n"
        "setting: 1L CPUDIV 18 OSC1=00 OSC4=18\n"
        "setting: 4L ICPRT 20 OFF=00 ON=20\n"  // not implemented here: left out
        "setting: 4L LVP 04 OFF=00 ON=04\n"
        "setting: 3H MCLRE 80 OFF=00 ON=80\n"
        "setting: 5L CP0 01 ON=00 OFF=01\n"
        "setting: 6H WRTC 20 ON=00 OFF=20\n"
        "setting: 2L BORV zz 0=00\n");
    ASSERT_EQ(state.catalog.notes.size(), 1u);
    EXPECT_EQ(state.catalog.notes[0].line, 11);
    ConfigValues config = state.erased_config;
    config(2) = 0xFC;  // HS; the bits above FOSC are not its own
    EXPECT_EQ(texts(state, config, 2), (std::vector<std::string>{"FOSC = HS"}));
    config(2) = 0x0D;
    EXPECT_EQ(texts(state, config, 2), (std::vector<std::string>{"FOSC = 0Dh (no value of that name)"}));
    EXPECT_EQ(texts(state, config, 7), (std::vector<std::string>{"LVP = ON"}));

    // Erased: LVP on, MCLR a reset pin, nothing protected; CPUDIV is no code protection.
    const ConfigWarnings erased = config_warnings(state.silicon, state.erased_config);
    EXPECT_TRUE(erased.protection.empty());
    ASSERT_EQ(erased.others.size(), 1u);
    EXPECT_EQ(erased.others[0].substr(0, 9), "LVP = ON:");
    EXPECT_EQ(protection_question(state.silicon, state.erased_config), "");

    config = state.erased_config;
    config(6) = 0x03;   // MCLRE off
    config(9) = 0x0E;   // CP0 on
    config(12) = 0xC0;  // WRTC on
    const ConfigWarnings warned = config_warnings(state.silicon, config);
    ASSERT_EQ(warned.protection.size(), 2u);
    EXPECT_EQ(warned.protection[0].substr(0, 27), "Code protection is on (CP0)");
    EXPECT_EQ(warned.protection[1].substr(0, 29), "Write protection is on (WRTC)");
    EXPECT_EQ(warned.others.size(), 2u);
    EXPECT_NE(protection_question(state.silicon, config).find("Code protection is on (CP0)"),
              std::string::npos);

    // A model without named settings is still asked about its protection bits.
    AppState unnamed = state_with("");
    EXPECT_NE(protection_question(unnamed.silicon, config), "");
}

TEST(ConfigDecode, SettingProblemsFindOverlapsBitsOutsideAndDoubleNames) {
    const std::pair<const char*, const char*> rows[] = {
        {"setting: 1H FOSC 0F XT=00\nsetting: 1H FCMEN 48 OFF=00 ON=40\n",
         "FCMEN (1H) and FOSC share bits 08"},
        {"setting: 4L ICPRT 20 OFF=00 ON=20\n", "ICPRT (4L) takes bits 20 that configbits: says"},
        {"setting: 4L LVP 04 OFF=00 ON=05\n", "LVP = ON sets bits outside LVP's 04"},
        {"setting: 4L LVP 04 OFF=00 Off=04\n", "LVP names the value Off twice"},
        {"setting: 4L LVP 04 OFF=00\nsetting: 1L LVP 01 OFF=00\n", "the setting LVP is named twice"},
    };
    for (const auto& [lines, problem] : rows) {
        const AppState state = state_with(lines);
        const std::vector<std::string> problems =
            setting_problems(state.silicon.settings, *state.silicon.config_bits);
        ASSERT_EQ(problems.size(), 1u) << lines;
        EXPECT_EQ(problems[0].substr(0, std::string(problem).size()), problem) << lines;
    }
    const AppState sound = state_with("setting: 1H FOSC 0F XT=00 HS=0C\n");
    EXPECT_TRUE(setting_problems(sound.silicon.settings, *sound.silicon.config_bits).empty());
}

}  // namespace
}  // namespace quillon

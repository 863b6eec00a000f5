#include <gtest/gtest.h>

#include "adapters/port_registry.h"

namespace quillon {
namespace {

using Match = PortForm::Match;

const PortForm* form_of(Match match, std::string_view word = {}) {
    for (const PortForm& form : port_forms())
        if (form.match == match && form.word == word) return &form;
    return nullptr;
}

struct ParseCase {
    const char* text;
    Match match;
    std::string_view word;
    const char* argument;
    std::int32_t number;
};

// Every value of --port finds its row: numbers by the rules of the program's port command, the
// words with what follows their colon, anything else as a device.
TEST(PortRegistry, EachValueParsesToItsForm) {
    const ParseCase cases[] = {
        {"5", Match::Number, {}, "", 5},
        {"COM5", Match::Number, {}, "", 5},
        {"com16", Match::Number, {}, "", 16},
        {"2.5", Match::Number, {}, "", 2},
        {"3.5", Match::Number, {}, "", 4},
        {"/dev/ttyUSB0", Match::Device, {}, "", 0},
        {"COM5x", Match::Device, {}, "", 0},
        {"ftdisimx", Match::Device, {}, "", 0},
        {"sim", Match::Word, "sim", "", 0},
        {"sim:chips/a.hex", Match::Word, "sim", "chips/a.hex", 0},
        {"ftdi", Match::Word, "ftdi", "", 0},
        {"ftdi:A50285BI", Match::Word, "ftdi", "A50285BI", 0},
        {"ftdisim", Match::Word, "ftdisim", "", 0},
        {"ftdisim:c.hex", Match::Word, "ftdisim", "c.hex", 0},
    };
    for (const ParseCase& c : cases) {
        const std::optional<PortChoice> choice = parse_port_choice(c.text);
        ASSERT_TRUE(choice.has_value()) << c.text;
        EXPECT_EQ(*choice, (PortChoice{form_of(c.match, c.word), c.text, c.argument, c.number})) << c.text;
    }
    EXPECT_EQ(parse_port_choice(std::nullopt), (PortChoice{form_of(Match::Absent), {}, {}, 0}));
    for (const char* wrong : {"0", "17", "-1", "COM0", "com", "", "sim:", "ftdi:", "ftdisim:"})
        EXPECT_FALSE(parse_port_choice(wrong).has_value()) << wrong;

    // A row added to the table is reached by its own word, and says how to use it.
    for (const PortForm& form : port_forms()) {
        EXPECT_FALSE(form.help.empty());
        EXPECT_EQ(form.usage.empty(), form.match == Match::Absent);
        if (form.match != Match::Word) continue;
        const std::string word(form.word);
        EXPECT_EQ(parse_port_choice(word)->form, &form) << word;
        EXPECT_EQ(parse_port_choice(word + ":x")->argument, "x") << word;
    }
}

// The texts the user knows are put together from the rows, in their order.
TEST(PortRegistry, TheHelpAndTheUsageNameEveryForm) {
    EXPECT_EQ(
        port_option_help_text(),
        "Programmer port: 1-16 (COM1-COM16), a serial device, sim[:FILE] for the simulated board with "
        "its chip kept in FILE, ftdi[:SERIAL] for an FTDI USB adapter in bit-bang mode, or "
        "ftdisim[:FILE] for the simulated board on a modelled one; default: the port the program uses.");
    EXPECT_EQ(
        port_usage_text(),
        "--port takes a port number from 1 to 16 (also COM5), a serial device, sim or sim:FILE, ftdi or "
        "ftdi:SERIAL, ftdisim or ftdisim:FILE");
}

}  // namespace
}  // namespace quillon

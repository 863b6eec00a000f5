// Each family's chip programmed, read back and erased by hand-written ICSP sequences, and the same
// sequences with one real mistake in them failing where a user would see it.
#include <gtest/gtest.h>

#include <functional>

#include "sim_bench.h"

namespace quillon {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Image {
    Bytes code;
    Bytes id;
    Bytes eeprom;
    std::uint8_t config2h;
};

Image image_for(std::size_t buffer) {
    Image image;
    for (std::size_t i = 0; i < 4 * buffer; ++i)
        image.code.push_back(static_cast<std::uint8_t>(0x5A ^ (i * 13)));
    image.id = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
    image.eeprom = {0x00, 0x7F, 0x80, 0xC3};
    image.config2h = 0x0E;
    return image;
}

void program(SimBench& t, const Image& image) {
    const auto buffer = static_cast<std::size_t>(t.chip->model().write_buffer_size);
    t.power_up();
    t.bulk_erase();
    t.begin_code_writes();
    for (std::size_t page = 0; page < image.code.size(); page += buffer)
        t.write_block(static_cast<std::uint32_t>(page), std::span(image.code).subspan(page, buffer));
    t.write_block(0x200000, image.id);
    for (std::size_t i = 0; i < image.eeprom.size(); ++i)
        t.write_eeprom(static_cast<std::int32_t>(i), image.eeprom[i]);
    t.write_config(3, image.config2h);
    t.power_down();
}

Image read_back(SimBench& t, const Image& like) {
    Image image;
    t.power_up();
    image.code = t.read_program(0, like.code.size());
    image.id = t.read_program(0x200000, 8);
    for (std::size_t i = 0; i < like.eeprom.size(); ++i)
        image.eeprom.push_back(t.read_eeprom(static_cast<std::int32_t>(i)));
    image.config2h = t.read_program(0x300003, 1)[0];
    t.power_down();
    return image;
}

bool same(const Image& a, const Image& b) {
    return a.code == b.code && a.id == b.id && a.eeprom == b.eeprom && a.config2h == b.config2h;
}

class RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, ProgramsReadsBackAndErases) {
    SimBench t(GetParam());
    const Image image = image_for(static_cast<std::size_t>(t.chip->model().write_buffer_size));
    program(t, image);
    EXPECT_TRUE(same(read_back(t, image), image));
    EXPECT_EQ(t.log.refusal_count(), 0u) << t.log.to_text();

    t.power_up();
    t.bulk_erase();
    t.power_down();
    EXPECT_EQ(t.chip->memory(), erased_memory(t.chip->model()));
}

TEST_P(RoundTrip, OneRealMistakeVisiblyFails) {
    const std::pair<const char*, std::function<void(SimBench&)>> mistakes[] = {
        {"TBLPTRL loaded into TABLAT", [](SimBench& t) { t.low_pointer_register = 0xF5; }},
        {"no programming pulse", [](SimBench& t) { t.send_pulse = false; }},
        {"programming time too short", [](SimBench& t) { t.prog_time_ms = 0; }},
    };
    for (const auto& [name, make_mistake] : mistakes) {
        SimBench t(GetParam());
        const Image image = image_for(static_cast<std::size_t>(t.chip->model().write_buffer_size));
        make_mistake(t);
        program(t, image);
        t.low_pointer_register = 0xF6;
        EXPECT_FALSE(same(read_back(t, image), image)) << name;
        EXPECT_GT(t.log.refusal_count(), 0u) << name;
    }

    SimBench t(GetParam());
    const Image image = image_for(static_cast<std::size_t>(t.chip->model().write_buffer_size));
    program(t, image);
    t.erase_key = 0x0081;  // the EEPROM-only key on A, no key at all on B and C
    t.power_up();
    t.bulk_erase();
    t.power_down();
    EXPECT_NE(t.chip->memory().flash[0], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(Families, RoundTrip, testing::Values("PIC18F452", "PIC18F4550", "PIC18F1320"));

}  // namespace
}  // namespace quillon

#include <gtest/gtest.h>

#include <numeric>

#include "sim_bench.h"

namespace quillon {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pattern(std::size_t count, int seed) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + 37 * i);
    return bytes;
}

TEST(Pic18Icsp, TableReadsMoveThePointerAsOne22BitNumber) {
    SimBench t("PIC18F452");
    t.power_up();
    t.chip->memory().flash[0x00FF] = 0x11;
    t.chip->memory().flash[0x0100] = 0x22;
    EXPECT_EQ(t.read_program(0x00FF, 2), (Bytes{0x11, 0x22}));
    EXPECT_EQ(t.chip->table_pointer(), 0x000101u);

    t.read_program(0x00FFFF, 1);  // carries from TBLPTRH into TBLPTRU
    EXPECT_EQ(t.chip->table_pointer(), 0x010000u);
    EXPECT_EQ(t.read_program(0x3FFFFF, 1), (Bytes{0x04}));  // and wraps at the top of the 22 bits
    EXPECT_EQ(t.chip->table_pointer(), 0x000000u);

    t.set_table_pointer(0x0100);
    EXPECT_EQ(t.lines.read_byte(0b1000), 0x22);  // no change
    EXPECT_EQ(t.lines.read_byte(0b1010), 0x22);  // post-decrement
    EXPECT_EQ(t.chip->table_pointer(), 0x00FFu);
    EXPECT_EQ(t.lines.read_byte(0b1011), 0x22);  // pre-increment
    t.core(0x0EFF);                              // TBLPTRU keeps six bits
    t.core(0x6EF8);
    EXPECT_EQ(t.chip->table_pointer(), 0x3F0100u);
}

TEST(Pic18Icsp, DeviceIdAndUnimplementedAddressesReadAsTheChipHasThem) {
    for (const auto& [model, low, high] :
         {std::tuple{"PIC18F452", 0x20, 0x04}, std::tuple{"PIC18F4550", 0x00, 0x12},
          std::tuple{"PIC18F1320", 0xC0, 0x07}}) {
        SimBench t(model);
        t.power_up();
        // The revision sits in the low five bits of 3FFFFE.
        EXPECT_EQ(t.read_program(0x3FFFFE, 2),
                  (Bytes{static_cast<std::uint8_t>(low | t.chip->model().revision),
                         static_cast<std::uint8_t>(high)}))
            << model;
        EXPECT_EQ(t.read_program(0x300000, 6),
                  (Bytes{0x00, t.chip->memory().config[1], t.chip->memory().config[2],
                         t.chip->memory().config[3], 0x00, t.chip->memory().config[5]}));
        EXPECT_EQ(t.read_program(0x008000, 1), (Bytes{0x00}));  // past FLASH
    }
    FakeClock clock;
    SimLog log;
    EXPECT_EQ(make_chip("PIC18F999", clock, log), nullptr);
    EXPECT_EQ(find_chip_model("pic18f452"), std::nullopt);  // names are exact
}

TEST(Pic18Icsp, WriteBufferIsProgrammedByStartProgrammingAndALongEnoughPulse) {
    for (const auto& [model, size] : {std::pair{"PIC18F452", 8}, std::pair{"PIC18F4550", 32}}) {
        SimBench t(model);
        t.power_up();
        t.begin_code_writes();
        const Bytes data = pattern(static_cast<std::size_t>(size), 1);
        t.write_block(0x40, data);
        EXPECT_EQ(t.read_program(0x40, data.size()), data) << model;

        t.prog_time_ms = 0;  // a pulse as short as the other clocks
        t.write_block(0x80, data);
        EXPECT_EQ(t.read_program(0x80, data.size()), Bytes(data.size(), 0xFF));
        EXPECT_TRUE(t.log_has("shorter than P9"));

        t.prog_time_ms = 2;
        t.send_pulse = false;  // the next command's fourth clock is far too short as well
        t.write_block(0xC0, data);
        t.core(0x0000);
        EXPECT_EQ(t.read_program(0xC0, data.size()), Bytes(data.size(), 0xFF));
    }
}

TEST(Pic18Icsp, CodeWritesNeedEepgdAndCfgsAndOnlyClearBits) {
    SimBench t("PIC18F2520");
    t.power_up();
    t.write_block(0, pattern(32, 5));  // EECON1 never set up
    EXPECT_EQ(t.read_program(0, 1), (Bytes{0xFF}));
    EXPECT_TRUE(t.log_has("EEPGD = 0"));

    t.core(0x8EA6);
    t.core(0x8CA6);  // CFGS = 1 points at configuration space
    t.write_block(0, pattern(32, 5));
    EXPECT_TRUE(t.log_has("CFGS = 1 for a code or ID address"));

    t.begin_code_writes();
    t.write_block(0, Bytes(32, 0x0F));
    t.write_block(0, Bytes(32, 0x3C));  // no erase in between: the cells keep the AND
    EXPECT_EQ(t.read_program(0, 2), (Bytes{0x0C, 0x0C}));

    t.write_block(0x200000, pattern(8, 9));  // ID locations go through the same buffer
    EXPECT_EQ(t.read_program(0x200000, 8), pattern(8, 9));
}

TEST(Pic18Icsp, ConfigurationBytesTakeTheirLaneAndWrtcProtectsThem) {
    SimBench t("PIC18F452");
    t.power_up();
    t.write_config(2, 0x00);  // every byte is written with the value in both halves...
    t.core(0x0E03);
    t.core(0x6EF6);
    t.lines.send_command(0b1111, 0xAB12);  // ...because 300003 (odd) takes the high byte
    t.lines.programming_pulse(5);
    t.core(0x0E02);
    t.core(0x6EF6);
    t.lines.send_command(0b1111, 0xAB12);  // and 300002 (even) the low byte
    t.lines.programming_pulse(5);
    t.write_config(4, 0x55);  // CONFIG3L does not exist on family A
    // Only the implemented bits (0F in CONFIG2L and 2H) take the write; the others read 0.
    EXPECT_EQ(t.read_program(0x300002, 3), (Bytes{0x02, 0x0B, 0x00}));
    t.write_config(2, 0xFF);
    EXPECT_EQ(t.read_program(0x300002, 1), (Bytes{0x0F}));

    t.config_time_ms = 2;  // long enough for code cells, not for configuration cells
    t.write_config(2, 0x00);
    EXPECT_EQ(t.read_program(0x300002, 1), (Bytes{0x0F}));
    EXPECT_TRUE(t.log_has("for a configuration byte"));
    t.config_time_ms = 5;

    t.write_config(11, 0xC0);  // CONFIG6H with WRTC = 0
    t.write_config(1, 0x22);
    EXPECT_EQ(t.read_program(0x300001, 1), (Bytes{0x27}));
    EXPECT_TRUE(t.log_has("write-protected"));

    t.bulk_erase();  // an erase lifts the protection
    t.write_config(1, 0x22);
    EXPECT_EQ(t.read_program(0x300001, 1), (Bytes{0x22}));
    EXPECT_EQ(t.read_program(0x30000B, 1), (Bytes{0xE0}));
}

TEST(Pic18Icsp, BulkEraseTakesEachFamilysKeyAndRefusesOthers) {
    for (const char* model : {"PIC18F452", "PIC18F4550", "PIC18F1320"}) {
        SimBench t(model);
        ChipMemory& memory = t.chip->memory();
        std::fill(memory.flash.begin(), memory.flash.end(), 0x00);
        memory.eeprom[7] = 0x00;
        memory.id[0] = 0x00;
        memory.config[1] = 0x00;
        t.power_up();
        t.erase_key = t.family() == ChipFamily::B ? 0x0080 : 0x0090;
        t.bulk_erase();
        EXPECT_EQ(memory.flash[0], 0x00) << model;
        EXPECT_TRUE(t.log_has("not a family"));

        t.erase_key = 0;
        t.bulk_erase();
        t.power_down();
        EXPECT_EQ(memory, erased_memory(t.chip->model())) << model;
        EXPECT_TRUE(t.log_has("bulk erase complete: whole chip"));
        EXPECT_EQ(t.log.refusal_count(), 1u)
            << t.log.to_text();  // the second NOP, sent while busy, was harmless
    }
}

TEST(Pic18Icsp, AnEraseCutShortByACommandOrBySwitchingOffLeavesMemoryAsItWas) {
    SimBench t("PIC18F452");
    t.chip->memory().flash[0] = 0x00;
    t.power_up();
    t.set_table_pointer(0x3C0004);
    t.lines.send_command(0b1100, 0x0080);
    t.core(0x0000);
    t.core(0x0E42);  // MOVLW 42 while erasing: no effect, and the erase is abandoned
    t.clock.sleep_ms(20);
    EXPECT_NE(t.chip->w(), 0x42);
    EXPECT_EQ(t.read_program(0, 1), (Bytes{0x00}));
    EXPECT_TRUE(t.log_has("erase abandoned"));

    t.set_table_pointer(0x3C0004);
    t.lines.send_command(0b1100, 0x0080);
    t.core(0x0000);
    t.power_down();
    t.clock.sleep_ms(20);
    EXPECT_EQ(t.chip->memory().flash[0], 0x00);
    EXPECT_TRUE(t.log_has("into the bulk erase (whole chip): left unerased"));
}

TEST(Pic18Icsp, EepromWriteRunsForItsWriteTimeWhileWrIsPolled) {
    SimBench a("PIC18F452");
    a.power_up();
    const auto start = a.clock.now();
    a.write_eeprom(0x10, 0x5A);
    EXPECT_GE(a.clock.now() - start, a.chip->model().timing.eeprom_write);
    EXPECT_EQ(a.read_eeprom(0x10), 0x5A);
    EXPECT_EQ(a.log.refusal_count(), 0u) << a.log.to_text();

    // Family B needs no unlock, but a NOP before each shift-out of TABLAT.
    SimBench b("PIC18F2455");
    b.power_up();
    b.write_eeprom(0xFF, 0xA5);
    b.write_eeprom(0x01, 0x11);
    EXPECT_EQ(b.read_eeprom(0xFF), 0xA5);
    b.nop_before_shift_out = false;
    EXPECT_EQ(b.read_eeprom(0x01), 0xA5);  // TABLAT as the read of 0xFF left it
    EXPECT_EQ(b.read_eeprom(0x01), 0x11);
    // A poll whose first shift-out is stale takes a busy write for done; the next WR is refused.
    b.write_eeprom(0x02, 0x22);
    b.write_eeprom(0x03, 0x33);
    EXPECT_TRUE(b.log_has("is still running: data EEPROM 0003 not written"));
    SimBench a2("PIC18F452");
    a2.power_up();
    a2.core(0x0E5A);
    a2.core(0x6EF5);
    EXPECT_EQ(a2.lines.read_byte(0b0010), 0x5A);  // family A needs no NOP

    // Without the unlock a family A chip does not write.
    a.core(0x84A6);
    a.core(0x82A6);
    EXPECT_TRUE(a.log_has("without the 55h/AAh unlock"));

    // Switched off during the write: the byte keeps its old value.
    SimBench c("PIC18F1220");
    c.power_up();
    c.core(0x0E10);
    c.core(0x6EA9);
    c.core(0x0E00);
    c.core(0x6EA8);
    c.core(0x84A6);
    c.core(0x0E55);
    c.core(0x6EA7);
    c.core(0x0EAA);
    c.core(0x6EA7);
    c.core(0x82A6);
    EXPECT_EQ(c.chip->eecon1() & 0x02, 0x02);
    c.power_down();
    EXPECT_EQ(c.chip->memory().eeprom[0x10], 0xFF);
    EXPECT_TRUE(c.log_has("during the data EEPROM write at 0010"));
}

TEST(Pic18Icsp, TheCellsKeepAPulseOnlyWhenPgcStaysLowForP10) {
    using std::chrono::microseconds;
    using std::chrono::milliseconds;
    for (const char* model : {"PIC18F452", "PIC18F4550", "PIC18F1220"}) {
        SimBench t(model);
        const auto p10 = t.chip->model().timing.discharge;
        t.power_up();
        t.begin_code_writes();
        t.send_pulse = false;
        const Bytes data = pattern(static_cast<std::size_t>(t.chip->model().write_buffer_size), 3);
        t.write_block(0x100, data);
        // The board takes 1 us a line change: a discharge just short of P10 lets PGC rise too soon.
        t.lines.programming_pulse(milliseconds(1), p10 - microseconds(2));
        EXPECT_EQ(t.read_program(0x100, data.size()), Bytes(data.size(), 0xFF)) << model;
        EXPECT_TRUE(t.log_has("PGC rose sooner than P10"));
        t.write_block(0x200, data);
        t.lines.programming_pulse(milliseconds(1), p10);
        EXPECT_EQ(t.read_program(0x200, data.size()), data) << model;
        EXPECT_EQ(t.log.refusal_count(), 1u) << t.log.to_text();
    }
}

TEST(Pic18Icsp, ProtectionBitsGuardTheirBlocksUntilABulkErase) {
    SimBench t("PIC18F452");
    ChipMemory& memory = t.chip->memory();
    std::fill(memory.flash.begin(), memory.flash.end(), 0x5A);
    memory.eeprom[4] = 0x44;
    t.power_up();
    t.write_config(8, 0x0A);                                      // CONFIG5L: CP0 and CP2 on
    t.write_config(9, 0x40);                                      // CONFIG5H: CPD on, CPB off
    EXPECT_EQ(t.read_program(0x0001FF, 2), (Bytes{0x5A, 0x00}));  // boot block, then block 0
    EXPECT_EQ(t.read_program(0x002000, 1), (Bytes{0x5A}));
    EXPECT_EQ(t.read_program(0x004000, 1), (Bytes{0x00}));
    EXPECT_EQ(t.read_eeprom(4), 0x00);
    EXPECT_EQ(t.read_program(0x300008, 2), (Bytes{0x0A, 0x40}));  // the configuration stays readable

    t.write_config(10, 0x0E);  // CONFIG6L: WRT0 on
    t.write_config(11, 0x60);  // CONFIG6H: WRTD on
    t.begin_code_writes();
    t.write_block(0x0200, Bytes(8, 0x00));
    EXPECT_TRUE(t.log_has("write-protected block 0 (000200-001FFF): 000200 not programmed"));
    t.write_eeprom(4, 0x00);
    EXPECT_TRUE(t.log_has("WRTD = 0"));
    EXPECT_EQ(memory.flash[0x200], 0x5A);
    EXPECT_EQ(memory.eeprom[4], 0x44);

    t.bulk_erase();
    t.chip->settle();
    EXPECT_EQ(memory, erased_memory(t.chip->model()));
    t.begin_code_writes();
    t.write_block(0x0200, Bytes(8, 0x00));
    EXPECT_EQ(t.read_program(0x0200, 1), (Bytes{0x00}));
}

TEST(Pic18Icsp, SwitchingOffDuringTheProgrammingPulseLosesThePage) {
    SimBench t("PIC18F4520");
    t.power_up();
    t.begin_code_writes();
    t.set_table_pointer(0);
    t.lines.send_command(0b1111, 0x0000);
    t.lines.data_low();
    for (int i = 0; i < 3; ++i) {
        t.lines.clock_high();
        t.lines.clock_low();
    }
    t.lines.clock_high();
    t.clock.sleep_ms(2);
    t.power_down();  // with PGC still high
    EXPECT_EQ(t.chip->memory().flash[0], 0xFF);
    EXPECT_TRUE(t.log_has("supply off during the programming pulse: 000000 not programmed"));
}

TEST(Pic18Icsp, InstructionsAndRegistersOutsideTheModelAreLogged) {
    SimBench t("PIC18F452");
    t.power_up();
    t.core(0x6EF9);  // MOVWF PCL
    t.core(0x6FF8);  // MOVWF with the banked bit
    t.core(0x0012);  // RETURN
    t.lines.send_command(0b0001, 0);
    EXPECT_EQ(t.log.refusal_count(), 4u) << t.log.to_text();
    EXPECT_TRUE(t.log_has("register F9"));
}

}  // namespace
}  // namespace quillon

// The supplied device library on the simulated chips, and the mistakes a script author makes most,
// each caught and laid at the right script's door.
#include "tools/library/library_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "model/device_file.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

using testing::Contains;
using testing::HasSubstr;
using testing::IsEmpty;

// Model numbers in the supplied library, one of each programming family.
constexpr int kPic18f452 = 1;
constexpr int kPic18f4550 = 12;
constexpr int kPic18f1320 = 18;

class LibraryCheckTest : public testing::Test {
  protected:
    void SetUp() override {
        const char* source = std::getenv("QUILLON_SOURCE_DIR");
        if (source == nullptr) GTEST_SKIP() << "QUILLON_SOURCE_DIR is not set";
        supplied_ = TempDir::read(std::string(source) + "/data/quillondevices.txt");
        ASSERT_FALSE(supplied_.empty());
    }

    // The supplied library with every `from` replaced by `to`; `from` must occur.
    std::string changed(const std::string& from, const std::string& to, std::string text = {}) const {
        if (text.empty()) text = supplied_;
        std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        for (; at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    }

    static ModelCheck check(const std::string& text, int number) {
        DeviceCatalog catalog;
        parse_device_text(catalog, text);
        LibraryCheck result = check_device_library(catalog, number);
        EXPECT_EQ(result.models.size(), 1u);
        return result.models.empty() ? ModelCheck{} : result.models.front();
    }

    static std::vector<std::string> described(const ModelCheck& model) {
        std::vector<std::string> faults;
        for (const ModelFault& fault : model.faults)
            faults.push_back(describe_fault(fault));
        return faults;
    }

    std::string supplied_;
};

TEST_F(LibraryCheckTest, OneModelOfEachFamilyRunsEveryOperationOnItsChip) {
    for (const int number : {kPic18f452, kPic18f4550, kPic18f1320}) {
        const ModelCheck model = check(supplied_, number);
        SCOPED_TRACE(model.name);
        EXPECT_THAT(described(model), IsEmpty());
        EXPECT_EQ(model.simulation, Simulation::Ran);
        ASSERT_EQ(model.times.size(), static_cast<std::size_t>(kOperationCount));
        for (const OperationTime& time : model.times) {
            // Every operation powers the chip up and down: 200 ms at least.
            EXPECT_GE(time.virtual_time, std::chrono::milliseconds(200)) << operation_name(time.operation);
        }
    }
}

TEST_F(LibraryCheckTest, AnEraseThatDoesNotWaitForTheChipIsRefusedByIt) {
    const ModelCheck model =
        check(changed("s0c-0080,s00-0000,s00-0000,w20,end", "s0c-0080,s00-0000,s00-0000,w5,end"), kPic18f452);
    EXPECT_THAT(described(model), Contains(HasSubstr("erase script (slot 1): the chip refused: supply off")));
}

TEST_F(LibraryCheckTest, AProgramScriptThatDoesNotEraseFirstFails) {
    const ModelCheck model =
        check(changed("programalgdef 1: begin,s00-0e3c,s00-6ef8,s00-0e00,s00-6ef7,s00-0e04,"
                      "s00-6ef6,s0c-0080,s00-0000,s00-0000,w20,",
                      "programalgdef 1: begin,"),
              kPic18f452);
    EXPECT_THAT(described(model), Contains(HasSubstr("program script (slot 1): ")));
    EXPECT_FALSE(model.passed());
}

TEST_F(LibraryCheckTest, AVerifyBlindToFlashMissesTheChangedByte) {
    const ModelCheck model = check(changed("setflashloop,temp=s09,checkflash,loop,", ""), kPic18f4550);
    EXPECT_THAT(
        described(model),
        Contains(HasSubstr("verify script (slot 3): did not notice a change of the chip at FLASH Byte")));
}

TEST_F(LibraryCheckTest, ProgramAndReadThatAgreeOnAWrongAddressAreCaughtOnTheChip) {
    // CONFIG1H and CONFIG2L trade places in program, read and verify alike: read-back and verify
    // agree with the image, the chip's cells do not.
    std::string text = changed("s0f-config1h,startprog,s00-0e02,s00-6ef6,s0f-config2l",
                               "s0f-config2l,startprog,s00-0e02,s00-6ef6,s0f-config1h");
    text = changed("config1h=s09,config2l=s09", "config2l=s09,config1h=s09", text);
    text = changed("checkconfig1h,temp=s09,checkconfig2l", "checkconfig2l,temp=s09,checkconfig1h", text);
    const ModelCheck model = check(text, kPic18f1320);
    EXPECT_THAT(described(model),
                Contains(HasSubstr("program script (slot 1): programmed over other bytes, the chip holds")));
    EXPECT_THAT(described(model), Contains(HasSubstr("CONF Byte 300001h where the image has")));
}

TEST_F(LibraryCheckTest, AModelTheSimulatorDoesNotKnowIsCheckedWithoutRunning) {
    const ModelCheck model =
        check(changed("model: PIC18F452\r\n", "model: PIC18F452-custom\r\n"), kPic18f452);
    EXPECT_TRUE(model.passed());
    EXPECT_EQ(model.simulation, Simulation::NoSuchChip);
    EXPECT_THAT(model.times, IsEmpty());
}

TEST_F(LibraryCheckTest, SizesMustMatchTheChipOfThatName) {
    std::string text = changed("model: PIC18F452\r\nflash: 32768", "model: PIC18F452\r\nflash: 16384");
    text =
        changed(" 004000-005FFF 006000-007FFF\r\nconfigalg: 1", "\r\nconfigalg: 1", text);  // blocks in 16 KB
    const ModelCheck model = check(text, kPic18f452);
    EXPECT_THAT(described(model), testing::ElementsAre("flash: 16384 bytes, but the PIC18F452 has 32768"));
    EXPECT_EQ(model.simulation, Simulation::Skipped);
}

TEST_F(LibraryCheckTest, StaticFaultsKeepTheScriptsOffTheChipAndNotesFailTheFile) {
    const std::string text =
        supplied_ +
        "readalgdef 21: begin,end\r\n"
        "model: PIC18F452\r\nflash: 32768\r\neeprom: 256\r\n"
        "configerased: 00 27 0F 0F 00 01 85 00 0F C0 0F E0 0F 40\r\nvoltageseq: vddvpp\r\n"
        "progtime: 0\r\npagesize: 8\r\nerasealg: 1\r\nprogramalg: 1\r\nreadalg: 1\r\n"
        "blankcheckalg: 1\r\nverifyalg: 1\r\n";
    DeviceCatalog catalog;
    parse_device_text(catalog, text);
    const LibraryCheck result = check_device_library(catalog, 23);
    ASSERT_EQ(result.models.size(), 1u);
    EXPECT_EQ(result.failed_count(), 1);
    EXPECT_EQ(result.models[0].simulation, Simulation::Skipped);
    EXPECT_THAT(described(result.models[0]), testing::ElementsAre("progtime: 0 ms is outside 1 to 30 ms"));
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_FALSE(result.passed());
}

}  // namespace
}  // namespace quillon

#include "model/device_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/select_model.h"
#include "support/temp_dir.h"

namespace quillon {
namespace {

const std::string& slot_text(const DeviceCatalog& catalog, Operation op, int slot) {
    static const std::string empty;
    const ScriptText& text =
        catalog.tables[static_cast<std::size_t>(op)].slot[static_cast<std::size_t>(slot)];
    return text ? *text : empty;
}

TEST(DeviceText, DefinitionLinesFillTheirSlot) {
    DeviceCatalog catalog;
    parse_device_text(catalog,
                      "EraseAlgDef 3: BEGIN,END\r\n"
                      "programalgdef 0:xbegin,end\r\n"  // the character after the colon is skipped
                      "readalgdef 20: a\r\n"
                      "readalgdef 21: never\r\n"    // no slot 21
                      "verifyalgdef 2.5: half\r\n"  // 2.5 rounds to 2
                      "blankcheckalgdef 4:\r\n"     // empty script
                      "model: M\r\n");
    EXPECT_EQ(slot_text(catalog, Operation::Erase, 3), "BEGIN,END");
    EXPECT_EQ(slot_text(catalog, Operation::Program, 0), "begin,end");
    EXPECT_EQ(slot_text(catalog, Operation::Read, 20), "a");
    EXPECT_EQ(slot_text(catalog, Operation::Verify, 2), "half");
    EXPECT_EQ(slot_text(catalog, Operation::BlankCheck, 4), "");
    ASSERT_EQ(catalog.notes.size(), 1u);
    EXPECT_EQ(catalog.notes[0].line, 4);
}

TEST(DeviceText, DefinitionWithoutBlankAfterTheColonLosesItsFirstCharacter) {
    DeviceCatalog catalog;
    parse_device_text(catalog, "erasealgdef 1:begin,end\nmodel: M\nerasealg: 1\n");
    AppState state;
    state.catalog = catalog;
    select_model(state, 1);
    EXPECT_EQ(state.erase_script, (AlgorithmScript{"egin", "end"}));
}

TEST(DeviceText, ModelKeysSetTheLatestModelAndCopyTheSlotAsItIsThen) {
    DeviceCatalog catalog;
    parse_device_text(catalog,
                      "flash: 999\n"  // before any model: the spare entry 0
                      "model: First\n"
                      "erasealg: 1\n"  // slot 1 is still empty here
                      "erasealgdef 1: begin,end\n"
                      "programalgdef 2: old\n"
                      "model:  Second\n"  // two blanks: the name keeps one
                      "Flash: 32768\n"
                      "flash: 16384\n"  // a later key replaces the earlier value
                      "erasealg: 1\n"
                      "programalg: 2\n"
                      "programalgdef 2: new\n"
                      " model: Ignored\n"  // a leading blank matches nothing
                      "model:NoSpace\n");  // no blank: no meaning
    ASSERT_EQ(catalog.model_count(), 2);
    EXPECT_EQ(catalog.models[0].flash, "999");
    EXPECT_EQ(catalog.models[1].name, "First");
    EXPECT_EQ(catalog.models[1].script_text(Operation::Erase), "");
    EXPECT_EQ(catalog.models[2].name, " Second");
    EXPECT_EQ(catalog.models[2].flash, "16384");
    EXPECT_EQ(catalog.models[2].script_text(Operation::Erase), "begin,end");
    EXPECT_EQ(catalog.models[2].script_text(Operation::Program), "old");
    // The key that named a still empty slot is noted for checkers, with its line.
    ASSERT_EQ(catalog.notes.size(), 1u);
    EXPECT_EQ(catalog.notes[0].line, 3);
    EXPECT_NE(catalog.notes[0].text.find("erasealg: names slot 1, which is empty"), std::string::npos);
}

TEST(DeviceText, AFileWithoutModelsHasNone) {
    DeviceCatalog catalog;
    EXPECT_EQ(parse_device_text(catalog, "erasealgdef 1: begin,end\r\n# no models\r\n"),
              DeviceFileStatus::NoModel);
    EXPECT_EQ(parse_device_text(catalog, ""), DeviceFileStatus::NoModel);
    EXPECT_EQ(parse_device_text(catalog, std::string("\0\x01\xff model: x", 12)), DeviceFileStatus::NoModel);
}

TEST(DeviceText, ReloadStartsFromAnEmptyCatalog) {
    DeviceCatalog catalog;
    parse_device_text(catalog, "erasealgdef 1: a\nmodel: A\n");
    parse_device_text(catalog, "model: B\nerasealg: 1\n");
    ASSERT_EQ(catalog.model_count(), 1);
    EXPECT_EQ(catalog.models[1].script_text(Operation::Erase), "");
}

TEST(DeviceFile, ReportsAMissingOrUnreadableFileByPath) {
    TempDir dir;
    DeviceCatalog catalog;
    DeviceFileResult missing = load_device_file(catalog, dir.file("none.txt"));
    EXPECT_EQ(missing.status, DeviceFileStatus::Unreadable);
    EXPECT_NE(missing.message.find("none.txt"), std::string::npos);

    DeviceFileResult folder = load_device_file(catalog, dir.path());
    EXPECT_EQ(folder.status, DeviceFileStatus::Unreadable);

    const std::string empty = dir.write("empty.txt", "");
    EXPECT_EQ(load_device_file(catalog, empty).status, DeviceFileStatus::NoModel);
}

TEST(DeviceFile, TheSuppliedLibraryLoads) {
    const char* source = std::getenv("QUILLON_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    DeviceCatalog catalog;
    const DeviceFileResult result =
        load_device_file(catalog, std::string(source) + "/data/quillondevices.txt");
    ASSERT_EQ(result.status, DeviceFileStatus::Loaded) << result.message;
    EXPECT_TRUE(catalog.notes.empty());
    for (int i = 1; i <= catalog.model_count(); ++i) {
        for (int op = 0; op < kOperationCount; ++op) {
            EXPECT_FALSE(
                catalog.models[static_cast<std::size_t>(i)].script_text(static_cast<Operation>(op)).empty())
                << catalog.models[static_cast<std::size_t>(i)].name << " "
                << operation_name(static_cast<Operation>(op));
        }
    }
}

}  // namespace
}  // namespace quillon

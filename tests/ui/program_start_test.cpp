#include "ui/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "model/app_state.h"
#include "model/prepare_start.h"
#include "support/temp_dir.h"
#include "ui/scripted_dialogs.h"

namespace quillon {
namespace {

struct ProgramStartTest : ::testing::Test {
    StartEnvironment environment() const { return {folder.path(), '/', false, {}}; }
    bool prepare() { return prepare_program(state, environment(), dialogs, errors); }

    TempDir folder;
    AppState state;
    ScriptedDialogs dialogs;
    std::ostringstream errors;
};

TEST_F(ProgramStartTest, AMissingDeviceFileIsExplainedInAMessageBox) {
    EXPECT_FALSE(prepare());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_NE(dialogs.messages[0].text.find(folder.file("quillondevices.txt")), std::string::npos);
    EXPECT_EQ(errors.str(), "");
}

TEST_F(ProgramStartTest, AFileWithoutAModelEndsWithOneLineOnTheErrorStream) {
    folder.write("quillondevices.txt", "erasealgdef 1: begin,end\r\n# no model\r\n");
    EXPECT_FALSE(prepare());
    EXPECT_TRUE(dialogs.messages.empty());
    const std::string line = errors.str();
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_NE(line.find("defines no model"), std::string::npos);
}

TEST_F(ProgramStartTest, ALoadedLibraryLetsTheWindowFollow) {
    folder.write("quillondevices.txt", "model: PIC18F452\r\nflash: 32768\r\n");
    EXPECT_TRUE(prepare());
    EXPECT_EQ(state.model_count, 1);
    EXPECT_EQ(state.program_folder, folder.path() + "/");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(errors.str(), "");
}

}  // namespace
}  // namespace quillon

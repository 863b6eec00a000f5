#include "model/prepare_start.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace quillon {
namespace {

TEST(ProgramFolder, EndsInOneSeparatorAndIsLowerCasedWhereNamesIgnoreCase) {
    EXPECT_EQ(make_program_folder("C:\\Tools\\PIC", '\\', true), "c:\\tools\\pic\\");
    EXPECT_EQ(make_program_folder("C:\\", '\\', true), "c:\\");
    EXPECT_EQ(make_program_folder("/opt/Quillon", '/', false), "/opt/Quillon/");
    EXPECT_EQ(make_program_folder("/", '/', false), "/");
}

TEST(PrepareStart, LoadsTheLibraryBesideTheProgramBeforeTheInstalledOne) {
    TempDir program;
    TempDir installed;
    program.write("quillondevices.txt", "model: Beside\n");
    installed.write("quillondevices.txt", "model: Installed\nmodel: Second\n");

    AppState state;
    StartEnvironment environment{program.path(), '/', false, {installed.path()}};
    const DeviceFileResult result = prepare_start(state, environment);
    EXPECT_EQ(result.status, DeviceFileStatus::Loaded);
    EXPECT_EQ(state.program_folder, program.path() + "/");
    EXPECT_EQ(state.product_title, "Ardentix Quillon");
    EXPECT_EQ(state.model_count, 1);
    EXPECT_EQ(state.catalog.models[1].name, "Beside");

    std::filesystem::remove(program.path() + "/quillondevices.txt");
    AppState fallback;
    EXPECT_EQ(prepare_start(fallback, environment).status, DeviceFileStatus::Loaded);
    EXPECT_EQ(fallback.model_count, 2);
}

TEST(PrepareStart, NamesTheMissingFile) {
    TempDir program;
    AppState state;
    const DeviceFileResult result = prepare_start(state, {program.path(), '/', false, {}});
    EXPECT_EQ(result.status, DeviceFileStatus::Unreadable);
    EXPECT_NE(result.message.find(program.path() + "/quillondevices.txt"), std::string::npos);
    EXPECT_EQ(state.model_count, 0);
}

}  // namespace
}  // namespace quillon

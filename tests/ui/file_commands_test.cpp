// Open HEX File and Save Buffer As from the main window, with the file dialogs answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "base/hex_text.h"
#include "hexfile/hex_writer.h"
#include "support/temp_dir.h"
#include "ui/file_dialogs.h"
#include "ui/memory_table.h"
#include "ui/window_fixture.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

// 0x12 0x34 at FLASH 0, and the configuration record.
const char* const kSmallFile =
    ":020000040000FA\r\n:020000001234B8\r\n:020000040030CA\r\n"
    ":0E000000FFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n";

class FileCommandsTest : public ::testing::Test, public WindowFixture {
  protected:
    void SetUp() override { load(); }

    void trigger(const char* action) { find<QAction>(QString::fromLatin1(action))->trigger(); }
    bool commands_enabled() {
        return find<QMenu>(QStringLiteral("menu1"))->menuAction()->isEnabled() &&
               find<QPushButton>(QStringLiteral("Command1"))->isEnabled() && !window->busy();
    }

    TempDir dir;
};

TEST_F(FileCommandsTest, OpenAsksInTheLastFolderAndLoadsTheChosenFile) {
    const std::string path = dir.write("blink.hex", kSmallFile);
    dialogs.files.push_back(path);
    trigger("menuopen");
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    const FileDialogRequest& request = dialogs.file_requests[0];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(request.title, "Select HEX File To Open");
    EXPECT_EQ(request.filter, "Intel HEX files (*.hex)|*.hex|All files (*.*)|*.*");
    EXPECT_EQ(request.folder, "/opt/quillon/");

    EXPECT_EQ(state.image.flash[0], 0x12);
    EXPECT_EQ(state.image.flash[1], 0x34);
    EXPECT_EQ(text_of("label_hex").toStdString(), path);
    EXPECT_EQ(text_of("label_status"), "Operation completed. Total 2 (.001K) program bytes loaded.");
    EXPECT_TRUE(
        find<MemoryTable>(QStringLiteral("tabla_flash"))->toPlainText().startsWith("000000: 12 34 FF"));
    EXPECT_EQ(state.last_path, dir.path() + "/");
    EXPECT_EQ(setting("Last Path"), dir.path() + "/");
    EXPECT_TRUE(commands_enabled());

    // The next dialog starts where this file was.
    trigger("menuopen");
    ASSERT_EQ(dialogs.file_requests.size(), 2u);
    EXPECT_EQ(dialogs.file_requests[1].folder, dir.path() + "/");
    EXPECT_EQ(state.image.flash[0], 0x12);  // cancelled: nothing changed
    EXPECT_EQ(text_of("label_hex").toStdString(), path);
}

TEST_F(FileCommandsTest, TheFileLabelsOpenAFileExceptWhileAnOperationRuns) {
    for (const char* label : {"Label7", "label_hex"}) {
        QTest::mouseClick(find<QWidget>(QString::fromLatin1(label)), Qt::LeftButton);
        EXPECT_EQ(dialogs.file_requests.size(), 1u) << label;
        dialogs.file_requests.clear();
    }
    window->disable();
    QTest::mouseClick(find<QWidget>(QStringLiteral("Label7")), Qt::LeftButton);
    EXPECT_TRUE(dialogs.file_requests.empty());
    window->enable();
}

TEST_F(FileCommandsTest, ARejectedFileLeavesErasedBuffersButTheFolderIsKept) {
    state.image.flash[0] = 0x00;
    const std::string path = dir.write("bad.hex", ":020000001234B8\r\n 020000001234B8\r\n");
    dialogs.files.push_back(path);
    trigger("menuopen");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_NE(dialogs.messages[0].text.find("Line number 2: The record does not begin with ':' simbol."),
              std::string::npos);
    EXPECT_EQ(state.image.flash[0], 0xFF);
    EXPECT_EQ(text_of("label_hex"), "");
    EXPECT_EQ(text_of("label_status"), "HEX file not loaded!");
    EXPECT_EQ(setting("Last Path"), dir.path() + "/");
    EXPECT_TRUE(commands_enabled());

    // A file that went away between the dialog and the load is reported the same way.
    dialogs.files.push_back(dir.file("gone.hex"));
    trigger("menuopen");
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(text_of("label_status"), "HEX file not loaded!");
}

TEST_F(FileCommandsTest, SaveWritesTheImageAndNamesTheFile) {
    state.image.flash[0] = 0x12;
    state.image.flash[1] = 0x34;
    const std::string path = dir.file("out.hex");
    dialogs.files.push_back(path);
    trigger("menusave");
    ASSERT_EQ(dialogs.file_requests.size(), 1u);
    EXPECT_EQ(dialogs.file_requests[0].kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(dialogs.file_requests[0].title, "Save Buffer As");
    EXPECT_EQ(dialogs.file_requests[0].filter, std::string(kHexFileFilter));
    EXPECT_TRUE(dialogs.messages.empty());  // a new file: no question
    EXPECT_EQ(TempDir::read(path), write_hex_text(state.image));
    EXPECT_EQ(text_of("label_status"), "HEX file saved.");
    EXPECT_EQ(text_of("label_hex").toStdString(), path);
    EXPECT_EQ(setting("Last Path"), dir.path() + "/");
}

TEST_F(FileCommandsTest, NoToTheOverwriteQuestionKeepsTheFileButStoresTheFolder) {
    const std::string path = dir.write("old.hex", "old contents");
    dialogs.files.push_back(path);
    dialogs.answers.push_back(MessageAnswer::No);
    trigger("menusave");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Do you want to overwrite file " + path + "?");
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::YesNo);
    EXPECT_EQ(dialogs.messages[0].title, "Ardentix Quillon");
    EXPECT_EQ(TempDir::read(path), "old contents");
    EXPECT_EQ(text_of("label_status"), "Serial port COM3 ready...");
    EXPECT_EQ(setting("Last Path"), dir.path() + "/");

    dialogs.files.push_back(path);
    dialogs.answers.push_back(MessageAnswer::Yes);
    trigger("menusave");
    EXPECT_EQ(TempDir::read(path), write_hex_text(state.image));
    EXPECT_EQ(text_of("label_status"), "HEX file saved.");
}

TEST_F(FileCommandsTest, AFailedSaveKeepsTheOldFileAndLeavesTheWindowUsable) {
    window->set_loaded_file(QStringLiteral("loaded.hex"));
    std::vector<std::string> targets;
    std::error_code error;
    if (fs::is_character_file("/dev/full", error)) targets.emplace_back("/dev/full");
    targets.push_back(dir.file("no such folder/out.hex"));
    for (const std::string& target : targets) {
        dialogs.messages.clear();
        dialogs.files.push_back(target);
        trigger("menusave");
        ASSERT_FALSE(dialogs.messages.empty()) << target;
        EXPECT_EQ(dialogs.messages.back().kind, MessageKind::Error) << target;
        EXPECT_NE(dialogs.messages.back().text.find(target), std::string::npos);
        EXPECT_EQ(text_of("label_status"), "HEX file not saved!");
        EXPECT_EQ(text_of("label_hex"), "loaded.hex");
        EXPECT_TRUE(commands_enabled()) << target;
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full", error) || !fs::exists("/dev/full", error));
}

TEST_F(FileCommandsTest, AReadOnlyFolderKeepsTheOldFile) {
    fs::create_directory(dir.file("locked"));
    const std::string old = dir.write("locked/old.hex", "old contents");
    fs::permissions(dir.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(dir.file("locked/probe")))
        GTEST_SKIP() << "the read-only folder is writable for this user";
    dialogs.files.push_back(old);
    trigger("menusave");
    EXPECT_EQ(TempDir::read(old), "old contents");
    EXPECT_EQ(text_of("label_status"), "HEX file not saved!");
    EXPECT_TRUE(commands_enabled());
}

TEST(FileDialogs, TheHexFilterBecomesQtNameFilters) {
    EXPECT_EQ(qt_name_filters(kHexFileFilter),
              QStringList({QStringLiteral("Intel HEX files (*.hex)"), QStringLiteral("All files (*)")}));
    EXPECT_EQ(qt_name_filters("Text|*.txt"), QStringList({QStringLiteral("Text (*.txt)")}));

    QFileDialog dialog;
    prepare_file_dialog(
        dialog, {FileDialogRequest::Kind::Save, "Save Buffer As", std::string(kHexFileFilter), "/tmp/"});
    EXPECT_EQ(dialog.windowTitle(), "Save Buffer As");
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog.nameFilters().size(), 2);
    EXPECT_EQ(chosen_file(dialog, QDialog::Rejected), "");
}

// Qt's own dialog, as on a platform without native file dialogs.
TEST(FileDialogs, TheWidgetDialogAnswersWithTheChosenPath) {
    TempDir dir;
    const std::string existing = dir.write("blink.hex", kSmallFile);
    AppState state;
    ThemeState theme;
    WidgetDialogs dialogs(state, theme);
    const auto answer = [](const std::string& path) {
        QTimer::singleShot(0, [path] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (path.empty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
        });
    };
    answer(existing);
    EXPECT_EQ(dialogs.choose_file({FileDialogRequest::Kind::Open, "Select HEX File To Open",
                                   std::string(kHexFileFilter), dir.path() + "/"}),
              existing);
    answer(dir.file("new"));
    EXPECT_EQ(dialogs.choose_file({FileDialogRequest::Kind::Save, "Save Buffer As",
                                   std::string(kHexFileFilter), dir.path() + "/"}),
              dir.file("new.hex"));
    answer({});
    EXPECT_EQ(dialogs.choose_file({FileDialogRequest::Kind::Open, "Select HEX File To Open",
                                   std::string(kHexFileFilter), dir.path() + "/"}),
              "");
}

}  // namespace
}  // namespace quillon

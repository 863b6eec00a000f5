#include "adapters/qt_settings_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QSettings>
#include <filesystem>

#include "support/temp_dir.h"

namespace quillon {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// What a separate reader of the file finds, as another program would.
QVariant read_back(const std::string& path, const char* name) {
    const QSettings settings(q(path), QSettings::IniFormat);
    return settings.value(QString::fromLatin1(name));
}

TEST(QtSettingsStore, FirstRunDefaultsAreWrittenToTheFileWithTheirKinds) {
    TempDir dir;
    const std::string path = dir.file("config/Ardentix Quillon.ini");
    QtSettingsStore store(q(path));
    EXPECT_EQ(store.get_text_setting("Serial Port Baud Rate", "56000"), "56000");
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 2);
    EXPECT_EQ(store.get_text_setting("Last Path", "/opt/quillon/"), "/opt/quillon/");

    ASSERT_TRUE(std::filesystem::exists(path));
    const std::string file = TempDir::read(path);
    EXPECT_NE(file.find("Serial%20Port%20Number=2"), std::string::npos) << file;
    EXPECT_EQ(read_back(path, "Last Path").toString(), "/opt/quillon/");

    store.set_number_setting("Serial Port Number", 5);
    store.set_text_setting("Color Theme", "Night, blue \"quoted\" \xC3\xA9");
    QtSettingsStore again(q(path));
    EXPECT_EQ(again.get_number_setting("Serial Port Number", 2), 5);
    EXPECT_EQ(again.get_text_setting("Color Theme", "x"), "Night, blue \"quoted\" \xC3\xA9");
}

TEST(QtSettingsStore, ReadsWhatAUserWroteByHand) {
    TempDir dir;
    const std::string path = dir.write("hand.ini",
                                       "[General]\n"
                                       "Serial Port Number=7\n"
                                       "Microcontroller Model = 3\n"
                                       "Last Path=\n"
                                       "Color Theme=Night\n");
    QtSettingsStore store(q(path));
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 7);
    EXPECT_EQ(store.get_text_setting("Microcontroller Model", "1"), "3");
    EXPECT_EQ(store.get_text_setting("Last Path", "/opt/quillon/"), "");
    EXPECT_EQ(store.get_text_setting("Color Theme", "Original Lite"), "Night");

    // An edit while the program runs is seen at the next read.
    dir.write("hand.ini", "[General]\nSerial Port Number=12\nColor Theme=Morning glory\n");
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 12);
    EXPECT_EQ(store.get_text_setting("Color Theme", "Original Lite"), "Morning glory");
}

TEST(QtSettingsStore, LongTextsAndWrongKindsFallBackToTheDefault) {
    TempDir dir;
    const std::string path = dir.write("kinds.ini",
                                       "[General]\n"
                                       "Last Path=" +
                                           std::string(300, 'a') +
                                           "\n"
                                           "Color Theme=" +
                                           std::string(254, 'b') +
                                           "\n"
                                           "Serial Port Number=abc\n"
                                           "Microcontroller Model=2, 3\n");
    QtSettingsStore store(q(path));
    EXPECT_EQ(store.get_text_setting("Last Path", "/opt/quillon/"), "/opt/quillon/");
    EXPECT_EQ(read_back(path, "Last Path").toString(), "/opt/quillon/");
    EXPECT_EQ(store.get_text_setting("Color Theme", "x"), std::string(254, 'b'));
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 4), 4);
    EXPECT_EQ(read_back(path, "Serial Port Number").toInt(), 4);
    EXPECT_EQ(store.get_text_setting("Microcontroller Model", "1"), "1");  // read back as a list
}

TEST(QtSettingsStore, ADamagedFileGivesDefaultsAndIsLeftUntouched) {
    TempDir dir;
    const std::string damaged = "[General]\nSerial Port Number=9\nthis line has no value\n[unclosed\n";
    const std::string path = dir.write("damaged.ini", damaged);
    QtSettingsStore store(q(path));
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 2);
    EXPECT_EQ(store.get_text_setting("Color Theme", "Original Lite"), "Original Lite");
    store.set_number_setting("Serial Port Number", 3);
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 2);  // still the default, not 9
    EXPECT_EQ(TempDir::read(path), damaged);

    // Once mended, the file is used again.
    dir.write("damaged.ini", "[General]\nSerial Port Number=9\n");
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 9);

    // A folder where the file should be: nothing to read, nothing written, no crash.
    QtSettingsStore folder(q(dir.path()));
    EXPECT_EQ(folder.get_text_setting("Color Theme", "Original Lite"), "Original Lite");
    folder.set_text_setting("Color Theme", "Night");
    EXPECT_EQ(folder.get_text_setting("Color Theme", "Original Lite"), "Original Lite");
}

TEST(QtSettingsStore, AnUnreadableFileGivesDefaults) {
    if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the superuser";
    TempDir dir;
    const std::string path = dir.write("locked.ini", "[General]\nSerial Port Number=9\n");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    QtSettingsStore store(q(path));
    EXPECT_EQ(store.get_number_setting("Serial Port Number", 2), 2);
}

TEST(QtSettingsStore, TheUsersStoreIsNamedAfterTheProduct) {
#ifdef Q_OS_WIN
    EXPECT_EQ(QtSettingsStore::for_current_user().location(),
              "HKEY_CURRENT_USER\\Software\\Ardentix Quillon");
#elif defined(Q_OS_LINUX)
    TempDir dir;
    const bool was_set = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path()));
    const QString location = QtSettingsStore::for_current_user().location();
    if (was_set) {
        qputenv("XDG_CONFIG_HOME", saved);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
    EXPECT_EQ(location.toStdString(), dir.file("Ardentix Quillon.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Ardentix Quillon.ini")));  // named, not yet written
#else
    EXPECT_TRUE(QtSettingsStore::for_current_user().location().endsWith("/Ardentix Quillon.ini"));
#endif
}

TEST(QtSettingsStore, ValueKindsAsQSettingsReportsThem) {
    using Kind = StoredSetting::Kind;
    EXPECT_EQ(classify_setting_value(QVariant()).kind, Kind::Missing);
    EXPECT_EQ(classify_setting_value(QVariant(QStringLiteral("x"))).text, "x");
    EXPECT_EQ(classify_setting_value(QVariant(QByteArray("raw"))).text, "raw");
    EXPECT_EQ(classify_setting_value(QVariant(42)).number, 42);
    EXPECT_EQ(classify_setting_value(QVariant(4294967295u)).number, 4294967295);
    EXPECT_EQ(classify_setting_value(QVariant(QStringList{"a", "b"})).kind, Kind::OtherKind);
}

}  // namespace
}  // namespace quillon

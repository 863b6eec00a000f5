// An installation into a temporary DESTDIR, run from there: the installed quillon-cli finds the
// device library installed beside it, wherever the tree was put.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <filesystem>

#include "support/temp_dir.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

Finished run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
             const QString& folder) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.waitForFinished(300000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// "<root>/usr/local/share/..." for an absolute install path.
fs::path under(const fs::path& root, const char* absolute) {
    return root / fs::path(absolute).relative_path();
}

TEST(Install, TheInstalledCliRunsOnItsInstalledLibraryFromAnyFolder) {
    const TempDir dir;
    const fs::path root = fs::path(dir.path()) / "root";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", QString::fromStdString(root.string()));
    const Finished installed =
        run(QStringLiteral(QUILLON_CMAKE_COMMAND), {"--install", QStringLiteral(QUILLON_BINARY_DIR)},
            environment, QString::fromStdString(dir.path()));
    ASSERT_EQ(installed.status, 0) << installed.out.toStdString() << installed.err.toStdString();

    const fs::path cli = under(root, QUILLON_INSTALL_BINDIR) / "quillon-cli";
    const fs::path library = under(root, QUILLON_INSTALL_DATADIR) / "quillon" / "quillondevices.txt";
    ASSERT_TRUE(fs::exists(cli));
    ASSERT_TRUE(fs::exists(library));
    EXPECT_TRUE(fs::exists(under(root, QUILLON_INSTALL_MANDIR) / "man1" / "quillon-cli.1.gz"));
#ifdef QUILLON_INSTALLS_GUI
    EXPECT_TRUE(fs::exists(under(root, QUILLON_INSTALL_BINDIR) / "quillon"));
    EXPECT_TRUE(fs::exists(under(root, QUILLON_INSTALL_MANDIR) / "man1" / "quillon.1.gz"));
    EXPECT_TRUE(fs::exists(under(root, QUILLON_INSTALL_DATADIR) / "icons/hicolor/scalable/apps/quillon.svg"));
    const std::string entry =
        TempDir::read((under(root, QUILLON_INSTALL_DATADIR) / "applications/quillon.desktop").string());
    EXPECT_NE(entry.find("\nExec=quillon\n"), std::string::npos);
    EXPECT_NE(entry.find("\nCategories=Development;Electronics;\n"), std::string::npos);
    // The window's X11 class and Wayland app id are its application name, "quillon".
    EXPECT_NE(entry.find("\nStartupWMClass=quillon\n"), std::string::npos);
#endif

    // From another folder, with settings of the test's own.
    const fs::path home = fs::path(dir.path()) / "home";
    fs::create_directories(home);
    QProcessEnvironment user = QProcessEnvironment::systemEnvironment();
    user.insert("HOME", QString::fromStdString(home.string()));
    user.insert("XDG_CONFIG_HOME", QString::fromStdString((home / ".config").string()));
    const QString cli_path = QString::fromStdString(cli.string());
    const Finished models = run(cli_path, {"--json", "models"}, user, QString::fromStdString(home.string()));
    ASSERT_EQ(models.status, 0) << models.err.toStdString();
    const QJsonObject object = QJsonDocument::fromJson(models.out.toUtf8()).object();
    const fs::path used = object["device_file"].toString().toStdString();
    EXPECT_TRUE(fs::equivalent(used, library)) << used << " instead of " << library;
    EXPECT_EQ(object["models"].toArray().size(), 22);

    const Finished doctor = run(cli_path, {"--model", "PIC18F452", "doctor", "--port", "sim"}, user,
                                QString::fromStdString(home.string()));
    EXPECT_EQ(doctor.status, 0) << doctor.out.toStdString() << doctor.err.toStdString();

#ifdef QUILLON_INSTALLS_VPORT
    // The installed virtual serial port finds the library it preloads.
    const fs::path vport = under(root, QUILLON_INSTALL_BINDIR) / "quillon-vport";
    const Finished erase = run(QString::fromStdString(vport.string()),
                               {"--", cli_path, "--model", "PIC18F452", "--port", "{port}", "erase"}, user,
                               QString::fromStdString(home.string()));
    EXPECT_EQ(erase.status, 0) << erase.out.toStdString() << erase.err.toStdString();
    EXPECT_TRUE(erase.out.contains("Chip erased. ")) << erase.out.toStdString();
#endif
}

}  // namespace
}  // namespace quillon

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "support/temp_dir.h"

namespace quillon {
namespace {

// The program started as a user starts it, offscreen, with settings and a runtime folder of the
// test's own. Every port number points at a device that does not exist, so no real serial port
// is ever opened.
class GuiProcess {
  public:
    explicit GuiProcess(const TempDir& home) {
        const QString dir = QString::fromStdString(home.path());
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile settings(dir + "/settings.ini");
        if (!settings.exists() && settings.open(QIODevice::WriteOnly)) {
            settings.write("[General]\n");
            for (int n = 1; n <= 16; ++n) {
                settings.write(
                    QStringLiteral("Serial Port Device %1=%2/no-such-tty%1\n").arg(n).arg(dir).toUtf8());
            }
            settings.close();
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QUILLON_SETTINGS_FILE", dir + "/settings.ini");
        environment.insert("XDG_RUNTIME_DIR", dir);
        environment.insert("HOME", dir);
        environment.insert("XDG_DATA_HOME", dir + "/data");
        process_.setProcessEnvironment(environment);
        process_.start(QStringLiteral(QUILLON_GUI), QStringList{});
    }
    ~GuiProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    QProcess& process() { return process_; }

  private:
    QProcess process_;
};

TEST(GuiInstance, ASecondInstanceEndsAtOnceAndLeavesTheFirstRunning) {
    TempDir home;
    GuiProcess first(home);
    ASSERT_TRUE(first.process().waitForStarted(10000));
    const QString lock = QString::fromStdString(home.file("ardentix-quillon.lock"));
    for (int i = 0; i < 200 && !QFileInfo::exists(lock); ++i)
        QThread::msleep(50);  // a real process: wait for it
    ASSERT_TRUE(QFileInfo::exists(lock)) << first.process().readAllStandardError().toStdString();

    GuiProcess second(home);
    ASSERT_TRUE(second.process().waitForFinished(20000));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(second.process().readAllStandardOutput().isEmpty());

    EXPECT_FALSE(first.process().waitForFinished(500));  // the first one is still there
    EXPECT_EQ(first.process().state(), QProcess::Running);
}

}  // namespace
}  // namespace quillon

#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "support/temp_dir.h"

namespace quillon {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// Runs quillon-cli with `arguments` and a settings folder of the test's own: `home`, or without it
// a fresh one for this run, so that the real user's settings are never read or written.
inline CliRun run_cli_process(const QStringList& arguments, const QString& home = {}) {
    const TempDir own_home;
    const QString folder = home.isEmpty() ? QString::fromStdString(own_home.path()) : home;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/.local/share"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLON_CLI), arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace quillon

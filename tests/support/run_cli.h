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

// Runs `program` with `arguments` and a settings folder of the test's own: `home`, or without it
// a fresh one for this run, so that the real user's settings are never read or written.
// The environment of a program run by a test: its settings and data under `home`.
inline QProcessEnvironment environment_with_home(const QString& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    return environment;
}

inline CliRun run_program(const QString& program, const QStringList& arguments, const QString& home = {}) {
    const TempDir own_home;
    const QString folder = home.isEmpty() ? QString::fromStdString(own_home.path()) : home;
    QProcess process;
    process.setProcessEnvironment(environment_with_home(folder));
    process.start(program, arguments);
    // check-devices simulates every supplied model; under the sanitizers on a busy machine that
    // takes minutes.
    process.waitForFinished(300000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Runs quillon-cli with `arguments` (see run_program).
inline CliRun run_cli_process(const QStringList& arguments, const QString& home = {}) {
    return run_program(QStringLiteral(QUILLON_CLI), arguments, home);
}

#ifdef QUILLON_VPORT
// Runs quillon-cli on a virtual serial port made by quillon-vport with `vport_options`; "{port}" in
// `arguments` stands for the port's device.
inline CliRun run_cli_on_virtual_port(const QStringList& vport_options, const QStringList& arguments,
                                      const QString& home) {
    return run_program(QStringLiteral(QUILLON_VPORT),
                       vport_options + QStringList{"--", QStringLiteral(QUILLON_CLI)} + arguments, home);
}
#endif

}  // namespace quillon

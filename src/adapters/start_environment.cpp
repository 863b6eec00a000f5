#include "adapters/start_environment.h"

#include <QCoreApplication>
#include <QDir>

namespace quillon {

QString installed_data_dir() {
    return QStringLiteral(QUILLON_INSTALLED_DATA_DIR);
}

StartEnvironment current_start_environment() {
    StartEnvironment environment;
    const QString dir = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
    environment.program_dir = QDir::toNativeSeparators(dir).toStdString();
    environment.separator = '\\';
    environment.case_insensitive = true;
#else
    environment.program_dir = dir.toStdString();
    environment.separator = '/';
    environment.case_insensitive = false;
#endif
    // An installed copy first looks for its own library, wherever it was installed, then for the
    // one of the prefix it was built for.
    const QString own_data_dir = QDir::cleanPath(dir + QStringLiteral("/" QUILLON_DATA_DIR_FROM_BIN));
    environment.data_dirs.push_back(QDir::toNativeSeparators(own_data_dir).toStdString());
    if (own_data_dir != QDir::cleanPath(installed_data_dir()))
        environment.data_dirs.push_back(QDir::toNativeSeparators(installed_data_dir()).toStdString());
    return environment;
}

}  // namespace quillon

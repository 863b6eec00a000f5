#include "platform/start_environment.h"

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
    environment.data_dirs.push_back(QDir::toNativeSeparators(installed_data_dir()).toStdString());
    return environment;
}

}  // namespace quillon

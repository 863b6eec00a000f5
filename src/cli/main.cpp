#include <QCoreApplication>

#include "cli/cli_context.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillon-cli"));
    QCoreApplication::setOrganizationName(QStringLiteral("Ardentix Quillon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
    return quillon::run_cli(QCoreApplication::arguments());
}
